#include "core/camera_http/model_catalogue.h"

#include <algorithm>
#include <array>

namespace orv {

namespace {

constexpr std::array<std::string_view, 19> kConfigFamilyFragments = {
    "-41HA/", "-41M/",   "-3270M/", "-52M/",  "-63HA/", "-52HA/", "-3970M/",
    "-52S/",  "-4070M/", "-QR80/",  "-8210/", "-8215/", "-8410/", "-8415/",
    "-6413/", "-5410/",  "-5415/",  "-7030/", "-7060/"};

// The models that also take 54 as a second port; every one of them has the extended request set.
constexpr std::array<std::string_view, 25> kSecondPortModels = {
    "Vexor-41HA",  "Vexor-41M",     "Vexor-3270M", "Ralto-52HA",   "Ralto-52M",
    "Raltox-63HA", "Bollar-52HA",   "Bollar-52M",  "Bollarz-63HA", "Ralto-3970M",
    "Ralto-52S",   "Raltox-4070HA", "Qel-QR80",    "Vexor-3270S",  "Ralto-3970S",
    "Bollar-52S",  "Omr-8210",      "Omr-8215",    "Omr-8410",     "Omr-8415",
    "Omr-6413",    "Omr-5410",      "Omr-5415",    "Tav-7030",     "Tav-7060"};

constexpr std::array<std::string_view, 5> kExtendedModels = {"Kovo-74H", "Vexor-41H", "Raltox-63H",
                                                             "Bollar-52H", "Bollarz-63H"};

template <std::size_t N>
bool Contains(const std::array<std::string_view, N>& table, std::string_view name) {
  return std::find(table.begin(), table.end(), name) != table.end();
}

// Plain byte order, as the firmware texts are compared: "0.9.6.10" sorts before "0.9.6.8".
bool AtLeast(std::string_view version, std::string_view threshold) {
  return version.compare(threshold) >= 0;
}

}  // namespace

void ClassifyFamily(SessionRecord& session, std::string_view description) {
  session.cameraWireless = description.find("wireless") != std::string_view::npos ? 1 : 0;
  const bool known = std::any_of(
      kConfigFamilyFragments.begin(), kConfigFamilyFragments.end(),
      [&](std::string_view f) { return description.find(f) != std::string_view::npos; });
  session.legacyCamera = known ? 0 : 1;
}

std::uint8_t ClassifyModel(std::string_view modelName, std::string_view version) {
  if (modelName == "Ralto-52") return AtLeast(version, "0.9.6.8") ? 1 : 0;
  if (modelName == "Ralto-52E") return 0;
  if (modelName == "Vexor-41") return AtLeast(version, "0.9.6.5") ? 1 : 0;
  if (modelName == "Ralto-52H") return 1;
  if (modelName == "Raltox-63") return 0;
  if (Contains(kExtendedModels, modelName)) return 1;
  if (Contains(kSecondPortModels, modelName)) return 1;
  return 0;
}

void ClassifyModel(SessionRecord& session) {
  session.extendedCgi = ClassifyModel(session.sys.ModelName.view(), session.sys.Version.view());
}

int LowSecondPortAllowed(std::string_view modelName) {
  return Contains(kSecondPortModels, modelName) ? 54 : 53;
}

}  // namespace orv
