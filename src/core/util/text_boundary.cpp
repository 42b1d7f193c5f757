#include "core/util/text_boundary.h"

#include <atomic>

namespace orv {
namespace {

std::atomic<int> g_kind{static_cast<int>(CharSetKind::Utf8)};
std::atomic<int> g_codePage{65001};

bool IsDoubleByteLead(unsigned char b, int codePage) {
  if (codePage == 932) return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
  return b >= 0x81 && b <= 0xFE;
}

// Number of bytes the character starting with b claims in UTF-8 (1 for stray bytes).
std::size_t Utf8Length(unsigned char b) {
  if (b >= 0xF0 && b <= 0xF4) return 4;
  if (b >= 0xE0) return b <= 0xEF ? 3 : 1;
  if (b >= 0xC2) return 2;
  return 1;
}

}  // namespace

void SetTextBoundaryRule(CharSetKind kind, int codePage) {
  g_codePage.store(codePage);
  g_kind.store(static_cast<int>(kind));
}

CharSetKind TextBoundaryKind() {
  return static_cast<CharSetKind>(g_kind.load());
}

std::size_t BoundedPrefixLength(std::string_view s, std::size_t maxBytes) {
  return BoundedPrefixLength(s, maxBytes, TextBoundaryKind(), g_codePage.load());
}

std::size_t BoundedPrefixLength(std::string_view s, std::size_t maxBytes, CharSetKind kind,
                                int codePage) {
  std::size_t end = 0;
  while (end < s.size() && s[end] != '\0') ++end;
  if (end <= maxBytes) return end;
  if (kind == CharSetKind::SingleByte) return maxBytes;
  std::size_t pos = 0;
  while (pos < maxBytes) {
    const auto b = static_cast<unsigned char>(s[pos]);
    std::size_t len = 1;
    if (kind == CharSetKind::Utf8) {
      len = Utf8Length(b);
    } else if (IsDoubleByteLead(b, codePage)) {
      len = 2;
    }
    if (pos + len > maxBytes) break;
    pos += len;
  }
  return pos;
}

}  // namespace orv
