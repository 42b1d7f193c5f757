#include "core/app/credential_text.h"

#include "core/platform/codepage.h"

namespace orv {

std::optional<std::string> FitCodePageText(std::string_view utf8, std::size_t maxBytes,
                                           int codePage) {
  if (utf8.find('\0') != std::string_view::npos) return std::nullopt;
  std::string local = Utf8ToCodePage(utf8, codePage);
  if (local.size() > maxBytes) return std::nullopt;
  // Unmappable characters come back as "?", so a round trip shows any loss.
  if (CodePageToUtf8(local, codePage) != utf8) return std::nullopt;
  return local;
}

std::optional<std::string> FitLocalText(std::string_view utf8, std::size_t maxBytes) {
  return FitCodePageText(utf8, maxBytes, SystemCodePage());
}

}  // namespace orv
