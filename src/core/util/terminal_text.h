#pragma once
// Texts from cameras and the LAN shown on a terminal. A camera name holding ESC or CSI could
// otherwise move the cursor, retitle the window or hide what follows, so control characters are
// shown as \xHH and a backslash as \\ (the escaping stays unambiguous).

#include <string>
#include <string_view>

namespace orv {

// Escapes C0 controls, DEL and backslash. With utf8 set (a UTF-8 terminal) the C1 controls
// U+0080-U+009F and bytes that are not part of valid UTF-8 in 0x80-0x9F are escaped as well;
// otherwise bytes from 0x80 up are characters of the 8-bit code page and pass unchanged.
std::string EscapeForTerminal(std::string_view text, bool utf8);

}  // namespace orv
