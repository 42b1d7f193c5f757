#pragma once
// What each operating system's folder (linux/, windows/) supplies to the shared platform code
// beside this header. Not for use outside core/platform.
#include <string>
#include <string_view>

namespace orv::os {

// Whether the system converts this code page.
bool CodePageSupported(int codePage);
// Converts between two supported code pages; what has no counterpart becomes "?".
std::string ConvertCodePage(std::string_view in, int fromCodePage, int toCodePage);
// The code page the system itself chooses (Linux: from the locale; Windows: the ANSI code page).
int SystemDefaultCodePage();
// The system's own answer to RunningWithRaisedPrivileges.
bool RaisedPrivileges();

}  // namespace orv::os
