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

// A width-erased handle on one FixedText<N>, for code that treats fields of several widths alike
// (the camera field table). Writes follow the same rule as FixedText::assign.
class FixedTextRef {
 public:
  FixedTextRef(char* bytes, std::size_t width) : m_bytes(bytes), m_width(width) {}

  void assign(std::string_view s) const {
    const std::size_t n = BoundedPrefixLength(s, m_width - 1);
    if (n != 0) std::memmove(m_bytes, s.data(), n);
    std::memset(m_bytes + n, 0, m_width - n);
  }
  void clear() const { std::memset(m_bytes, 0, m_width); }
  std::string_view view() const {
    return std::string_view(m_bytes, ::strnlen(m_bytes, m_width - 1));
  }
  std::size_t width() const { return m_width; }

 private:
  char* m_bytes;
  std::size_t m_width;
};

template <std::size_t N>
class FixedText {
  static_assert(N >= 1, "a fixed text needs room for its terminator");

 public:
  static constexpr std::size_t kWidth = N;

  FixedText() { m_bytes.fill('\0'); }
  FixedText(std::string_view s) { assign(s); }  // NOLINT: implicit on purpose, like a C array init

  FixedText& operator=(std::string_view s) {
    assign(s);
    return *this;
  }

  // Zero-fills the field, then copies the longest fitting prefix of s (up to its first NUL).
  void assign(std::string_view s) {
    const std::size_t n = BoundedPrefixLength(s, N - 1);
    // s may alias our own bytes: move first, then clear the tail.
    if (n != 0) std::memmove(m_bytes.data(), s.data(), n);
    std::memset(m_bytes.data() + n, 0, N - n);
  }

  void clear() { m_bytes.fill('\0'); }

  const char* c_str() const { return m_bytes.data(); }
  std::string_view view() const { return std::string_view(m_bytes.data(), size()); }
  std::string str() const { return std::string(view()); }
  std::size_t size() const { return ::strnlen(m_bytes.data(), N - 1); }
  bool empty() const { return m_bytes[0] == '\0'; }
  static constexpr std::size_t width() { return N; }

  FixedTextRef ref() { return FixedTextRef(m_bytes.data(), N); }

  // The whole array, terminator included (for byte-exact comparisons and raw copies).
  const std::array<char, N>& bytes() const { return m_bytes; }

  friend bool operator==(const FixedText& a, std::string_view b) { return a.view() == b; }
  friend bool operator==(const FixedText& a, const FixedText& b) { return a.view() == b.view(); }

 private:
  std::array<char, N> m_bytes;
};

}  // namespace orv
