#pragma once
// What every host network (Linux direct, Linux through the helper, Windows) keeps alike: the
// addresses it added, by context, and the text of its last error.

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace orv::os {

// Held: what the network needs to remove or refresh an address; has addr and ifIndex. Not locked:
// the owner holds its own lock around every call.
template <typename Held>
class AddedAddresses {
 public:
  // The new address's context.
  std::uint32_t Add(const Held& held) {
    m_held[++m_lastContext] = held;
    return m_lastContext;
  }
  Held* Find(std::uint32_t context) {
    const auto it = m_held.find(context);
    return it == m_held.end() ? nullptr : &it->second;
  }
  // Forgets the address and gives what was held.
  std::optional<Held> Take(std::uint32_t context) {
    const auto it = m_held.find(context);
    if (it == m_held.end()) return std::nullopt;
    Held held = it->second;
    m_held.erase(it);
    return held;
  }
  bool Lookup(std::uint32_t context, std::uint32_t& addr, std::uint32_t& ifIndex) const {
    const auto it = m_held.find(context);
    if (it == m_held.end()) return false;
    addr = it->second.addr;
    ifIndex = it->second.ifIndex;
    return true;
  }

 private:
  std::map<std::uint32_t, Held> m_held;
  std::uint32_t m_lastContext = 0;
};

// Set from any thread.
class LastErrorText {
 public:
  // Returns code, so a failure can be reported and returned in one statement.
  int Set(int code, std::string text) {
    std::lock_guard lock(m_mutex);
    m_text = std::move(text);
    return code;
  }
  std::string Get() const {
    std::lock_guard lock(m_mutex);
    return m_text;
  }

 private:
  mutable std::mutex m_mutex;
  std::string m_text;
};

}  // namespace orv::os
