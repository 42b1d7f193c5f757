#pragma once
// The connectAllowed byte of the session record. It is the one field the user-interface thread
// writes while a worker may read it, so it is atomic; and because a worker runs on its own copy of
// the record, copies share the same flag: clearing it at shut-down reaches every pending connect.

#include <atomic>
#include <cstdint>
#include <memory>

namespace orv {

class ConnectFlag {
 public:
  ConnectFlag() : m_value(std::make_shared<std::atomic<std::uint8_t>>(0)) {}

  std::uint8_t load() const { return m_value->load(std::memory_order_acquire); }
  void store(std::uint8_t v) { m_value->store(v ? 1 : 0, std::memory_order_release); }
  explicit operator bool() const { return load() != 0; }

  // Gives this record a flag of its own again (a copy that must not follow the original).
  void detach() { m_value = std::make_shared<std::atomic<std::uint8_t>>(load()); }

 private:
  std::shared_ptr<std::atomic<std::uint8_t>> m_value;
};

}  // namespace orv
