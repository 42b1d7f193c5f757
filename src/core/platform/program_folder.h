#pragma once
// The folder the program runs from: language packs and defaultlang.ini live beside it.

#include <string>

namespace orv {

// The executable's folder with a trailing '/', from /proc/self/exe; empty when unknown.
std::string ExecutableFolder();

// ORVANTIS_PROGRAM_FOLDER when set (tests, relocated installs), else ExecutableFolder().
// Always ends in '/' unless empty.
std::string ProgramFolder();

// s with one trailing '/' added when it has none (empty stays empty).
std::string WithTrailingSeparator(std::string s);

}  // namespace orv
