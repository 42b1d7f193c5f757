// Settings answers of every page on arbitrary bytes. What the parser stores must fit its field and
// come from the answer, and a write must send every value back inside its own parameter, intact:
// a "&" or "=" in a value that reached the query unescaped would set another setting.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

#include "core/camera_http/camera_field_table.h"
#include "core/camera_http/request_texts.h"
#include "core/camera_http/requests.h"
#include "core/camera_http/settings_parser.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// %XX back to its byte; anything else as it is. A stray "%" is a fault of the escaping.
std::string Unescape(std::string_view v) {
  std::string out;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (v[i] != '%') {
      out.push_back(v[i]);
      continue;
    }
    if (i + 2 >= v.size()) std::abort();
    const int hi = HexDigit(v[i + 1]), lo = HexDigit(v[i + 2]);
    if (hi < 0 || lo < 0) std::abort();
    out.push_back(static_cast<char>(hi * 16 + lo));
    i += 2;
  }
  return out;
}

const orv::CameraField* FieldWithKey(const orv::SessionRecord& s, std::string_view key) {
  for (const orv::CameraField& f : orv::CameraFields()) {
    if (f.KeyFor(s) == key) return &f;
  }
  return nullptr;
}

bool IsDecimal(std::string_view v) {
  if (!v.empty() && v[0] == '-') v.remove_prefix(1);
  if (v.empty()) return false;
  for (const char c : v) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// Every "&Key=value" of a write: a known key, one "=", and the value decodes to the field's text.
void CheckWrite(orv::SessionRecord& s, int page, int subPage) {
  const std::string params = orv::WriteParameters(s, page, subPage);
  if (!params.empty() && params[0] != '&') std::abort();
  std::size_t at = 0;
  while (at < params.size()) {
    const std::size_t next = params.find('&', at + 1);
    const std::string_view part = std::string_view(params).substr(
        at + 1, next == std::string::npos ? std::string::npos : next - at - 1);
    at = next == std::string::npos ? params.size() : next;
    for (const char c : part) {
      if (c == ' ' || c == '\n' || c == '\r' || c == '#' || c == '?' || c == '\0') std::abort();
    }
    const std::size_t eq = part.find('=');
    if (eq == std::string_view::npos || part.find('=', eq + 1) != std::string_view::npos)
      std::abort();
    const std::string_view key = part.substr(0, eq), value = part.substr(eq + 1);
    const orv::CameraField* field = FieldWithKey(s, key);
    if (field == nullptr) std::abort();  // a value's bytes became a parameter of their own
    const orv::FieldSlot slot = field->slot(s);
    if (const auto* text = std::get_if<orv::FixedTextRef>(&slot)) {
      if (Unescape(value) != text->view()) std::abort();
    } else if (!IsDecimal(value)) {
      std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static constexpr int kPages[] = {0, 1, 3, 13, 23, 32, 34, 7};
  const std::uint8_t selector = size > 0 ? data[0] : 0;
  const std::string_view text =
      size > 1 ? std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1)
               : std::string_view("");
  orv::SessionRecord s;
  s.legacyCamera = selector & 0x80 ? 1 : 0;
  s.linkWireless = selector & 0x40 ? 1 : 0;
  const int page = kPages[selector % (sizeof kPages / sizeof kPages[0])];
  orv::ParseSettings(s, text, page, page == 0 ? orv::kSubPageTime : 0);

  for (const orv::CameraField& f : orv::CameraFields()) {
    const orv::FieldSlot slot = f.slot(s);
    const auto* ref = std::get_if<orv::FixedTextRef>(&slot);
    if (ref == nullptr) continue;
    const std::string_view v = ref->view();
    // Within its width, terminator kept, one line of the answer and nothing made up.
    if (ref->width() != f.width || v.size() >= f.width || v.data()[f.width - 1] != '\0')
      std::abort();
    if (v.find('\n') != std::string_view::npos || v.find('\r') != std::string_view::npos)
      std::abort();
    if (f.page == page && !v.empty() && text.find(v) == std::string_view::npos) std::abort();
    // Fields the answer did not fill carry the raw bytes, so every write escapes them too.
    if (f.page != page) ref->assign(text);
  }

  CheckWrite(s, orv::kPageTime, orv::kSubPageTime);
  CheckWrite(s, orv::kPageSystem, 0);
  CheckWrite(s, orv::kPageNetwork, 0);
  CheckWrite(s, orv::kPageNetwork, orv::kSubPageShortNetwork);
  CheckWrite(s, orv::kPageDdns, 0);

  orv::FixedText<64> cell;
  std::uint8_t b = 0;
  orv::ExtractCellValue(cell, "SSID=", text);
  orv::ExtractCellValue(b, "Channel=", text);
  return 0;
}
