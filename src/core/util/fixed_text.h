#pragma once
// A zero-terminated 8-bit text field of fixed width N (the terminator included), as the session
// record and the camera rows hold them. Every write truncates to at most N-1 bytes at a character
// boundary and keeps the terminator; the array is never left unterminated.

#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "core/util/text_boundary.h"

namespace orv {

template <std::size_t N>
class FixedText {
  static_assert(N >= 1, "a fixed text needs room for its terminator");

 public:
  static constexpr std::size_t kWidth = N;

  FixedText() { bytes_.fill('\0'); }
  FixedText(std::string_view s) { assign(s); }  // NOLINT: implicit on purpose, like a C array init

  FixedText& operator=(std::string_view s) {
    assign(s);
    return *this;
  }

  // Zero-fills the field, then copies the longest fitting prefix of s (up to its first NUL).
  void assign(std::string_view s) {
    const std::size_t n = BoundedPrefixLength(s, N - 1);
    // s may alias our own bytes: move first, then clear the tail.
    if (n != 0) std::memmove(bytes_.data(), s.data(), n);
    std::memset(bytes_.data() + n, 0, N - n);
  }

  void clear() { bytes_.fill('\0'); }

  const char* c_str() const { return bytes_.data(); }
  std::string_view view() const { return std::string_view(bytes_.data(), size()); }
  std::string str() const { return std::string(view()); }
  std::size_t size() const { return ::strnlen(bytes_.data(), N - 1); }
  bool empty() const { return bytes_[0] == '\0'; }
  static constexpr std::size_t width() { return N; }

  // The whole array, terminator included (for byte-exact comparisons and raw copies).
  const std::array<char, N>& bytes() const { return bytes_; }

  friend bool operator==(const FixedText& a, std::string_view b) { return a.view() == b; }
  friend bool operator==(const FixedText& a, const FixedText& b) { return a.view() == b.view(); }

 private:
  std::array<char, N> bytes_;
};

}  // namespace orv
