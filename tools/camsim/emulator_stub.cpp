// Placeholder so the library links until the emulator lands; replaced by the real implementation.
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "camsim.h"

namespace camsim {
struct Emulator::Impl {
  LabConfig config;
};
LabConfig LoadConfig(const nlohmann::json&) { throw std::runtime_error("not built yet"); }
Emulator::Emulator(LabConfig config) : impl_(std::make_unique<Impl>()) {
  impl_->config = std::move(config);
}
Emulator::~Emulator() = default;
bool Emulator::Start(std::string* error) {
  if (error) *error = "not built yet";
  return false;
}
void Emulator::Stop() {}
std::uint16_t Emulator::HttpPort(std::size_t) const { return 0; }
std::uint16_t Emulator::LinkServerPort() const { return 0; }
std::vector<std::string> Emulator::Requests(std::size_t) const { return {}; }
std::vector<std::string> Emulator::LinkServerRequests() const { return {}; }
void Emulator::ClearRequests() {}
std::string Emulator::Setting(std::size_t, const std::string&) const { return {}; }
}  // namespace camsim
