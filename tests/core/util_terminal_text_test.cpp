// Camera and LAN texts on a terminal: no control character gets through unescaped.

#include <gtest/gtest.h>

#include <string>

#include "core/util/terminal_text.h"

namespace orv::test {
namespace {

TEST(TerminalText, ControlBytesAndBackslashesAreEscaped) {
  for (const bool utf8 : {true, false}) {
    EXPECT_EQ(EscapeForTerminal("Front door", utf8), "Front door");
    EXPECT_EQ(EscapeForTerminal("\x1b]0;owned\x07", utf8), "\\x1b]0;owned\\x07");
    EXPECT_EQ(EscapeForTerminal("a\rb\nc\td\x7f", utf8), "a\\x0db\\x0ac\\x09d\\x7f");
    EXPECT_EQ(EscapeForTerminal(std::string("nul\0end", 7), utf8), "nul\\x00end");
    EXPECT_EQ(EscapeForTerminal("C:\\x1b", utf8), "C:\\\\x1b") << "a literal \\x stays distinct";
  }
}

TEST(TerminalText, C1ControlsOnAUtf8Terminal) {
  // U+009B (CSI) encoded, and as a stray byte; printable characters pass.
  EXPECT_EQ(EscapeForTerminal("x\xc2\x9b"
                              "2J",
                              true),
            "x\\xc2\\x9b2J");
  EXPECT_EQ(EscapeForTerminal("x\x9b"
                              "2J",
                              true),
            "x\\x9b2J");
  EXPECT_EQ(EscapeForTerminal("Caf\xc3\xa9 \xe5\x89\x8d\xe9\x96\x80", true),
            "Caf\xc3\xa9 \xe5\x89\x8d\xe9\x96\x80");
  EXPECT_EQ(EscapeForTerminal("\xe5\x89", true), "\xe5\\x89")
      << "a stray byte of 0x80-0x9F is escaped";
  // In an 8-bit code page the high bytes are characters (a Big5 trail byte may be 0x9B... too).
  EXPECT_EQ(EscapeForTerminal("\xa5\x9b\xc2\x9b", false), "\xa5\x9b\xc2\x9b");
}

}  // namespace
}  // namespace orv::test
