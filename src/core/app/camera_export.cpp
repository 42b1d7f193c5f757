#include "core/app/camera_export.h"

#include <nlohmann/json.hpp>

#include "core/platform/codepage.h"
#include "core/util/csv.h"

namespace orv {

std::string CameraListCsv(std::span<const CameraEntry> rows) {
  std::string out = CsvRow({"ip", "mac", "port", "desc", "sport", "cam_id", "adapter"});
  for (const CameraEntry& r : rows) {
    out += CsvRow({LocalToUtf8(r.ip.view()), LocalToUtf8(r.mac.view()), LocalToUtf8(r.port.view()),
                   LocalToUtf8(r.desc.view()), LocalToUtf8(r.sport.view()),
                   LocalToUtf8(r.cam_id.view()), LocalToUtf8(r.adapter.view())});
  }
  return out;
}

std::string CameraListJson(std::span<const CameraEntry> rows) {
  nlohmann::ordered_json cameras = nlohmann::ordered_json::array();
  for (const CameraEntry& r : rows) {
    cameras.push_back({{"mac", LocalToUtf8(r.mac.view())},
                       {"ip", LocalToUtf8(r.ip.view())},
                       {"port", LocalToUtf8(r.port.view())},
                       {"desc", LocalToUtf8(r.desc.view())},
                       {"cam_id", LocalToUtf8(r.cam_id.view())},
                       {"sport", LocalToUtf8(r.sport.view())},
                       {"adapter", LocalToUtf8(r.adapter.view())}});
  }
  return nlohmann::ordered_json{{"cameras", cameras}}.dump(
             2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) +
         "\n";
}

}  // namespace orv
