#include "core/camera_http/list_parsers.h"

#include <algorithm>

#include "core/camera_http/settings_parser.h"

namespace orv {

namespace {

constexpr std::size_t kCellCapacity = 2048;  // one table cell, terminator included
constexpr std::string_view kCellEnd = "</td>";

std::size_t CountOccurrences(std::string_view text, std::string_view what) {
  std::size_t n = 0;
  for (std::size_t p = text.find(what); p != std::string_view::npos;
       p = text.find(what, p + what.size())) {
    ++n;
  }
  return n;
}

std::size_t ClampCount(std::int32_t announced, std::size_t available) {
  if (announced <= 0) return 0;
  return std::min<std::size_t>(static_cast<std::size_t>(announced), available);
}

}  // namespace

std::optional<std::vector<AccessPointEntry>> ParseAccessPointScan(std::string_view answer,
                                                                  std::uint32_t* count) {
  answer = answer.substr(0, answer.find('\0'));
  if (answer.find("scan AP sum =") == std::string_view::npos) return std::nullopt;
  std::int32_t announced = 0;
  if (const std::size_t p = answer.find("sum = "); p != std::string_view::npos) {
    // A plain search: the number right after the first "sum = ".
    announced = FindNumber(answer.substr(p), "sum = ", ValueStyle::Settings).value_or(0);
  }
  // The first cell is the table's leading part, so n entries need n + 1 cells.
  const std::size_t cells = CountOccurrences(answer, kCellEnd);
  const std::size_t entries = ClampCount(announced, cells > 0 ? cells - 1 : 0);
  std::vector<AccessPointEntry> list(entries);
  std::string_view rest = answer;
  for (std::size_t index = 0; index <= entries && !rest.empty(); ++index) {
    const std::size_t end = rest.find(kCellEnd);
    const std::size_t len = end == std::string_view::npos ? rest.size() : end + kCellEnd.size();
    const std::string_view cell = rest.substr(0, std::min(len, kCellCapacity - 1));
    rest.remove_prefix(len);
    if (index == 0 || cell.find("<td>AP") == std::string_view::npos) continue;
    AccessPointEntry& e = list[index - 1];
    ExtractCellValue(e.Channel, "Channel=", cell);
    ExtractCellValue(e.Mac_address, "Mac_address=", cell);
    ExtractCellValue(e.SSID, "SSID=", cell);
    ExtractCellValue(e.Quality, "Quality=", cell);
    ExtractCellValue(e.Mode, "Mode=", cell);
    ExtractCellValue(e.Security, "Security=", cell);
    ExtractCellValue(e.Algorithm, "Algorithm=", cell);
  }
  if (count != nullptr) *count = static_cast<std::uint32_t>(entries);
  return list;
}

std::vector<LinkServerCameraEntry> ParseLinkServerList(std::string_view answer) {
  answer = answer.substr(0, answer.find('\0'));
  const std::int32_t announced =
      FindNumber(answer, "Total Camera=", ValueStyle::Settings).value_or(0);
  // The first "Camera=" found is the one inside "Total Camera=" itself.
  const std::size_t entries = ClampCount(announced, CountOccurrences(answer, "Camera="));
  std::vector<LinkServerCameraEntry> list(entries);
  std::string_view rest = answer;
  for (LinkServerCameraEntry& e : list) {
    const std::size_t at = rest.find("Camera=");
    if (at == std::string_view::npos) break;
    rest.remove_prefix(std::min(rest.size(), at + 8));  // the key and one more character
    ExtractCellValue(e.ID, "ID=", rest);
    ExtractCellValue(e.IP, "IP=", rest);
    ExtractCellValue(e.Port, "Port=", rest);
    ExtractCellValue(e.Mac_address, "Mac_address=", rest);
    ExtractCellValue(e.Modelname, "Modelname=", rest);
  }
  return list;
}

}  // namespace orv
