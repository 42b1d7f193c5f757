#pragma once
// The user's folder for settings, and the few file steps the language choice takes there.
#include <string>

namespace orv {

// access(2) for writing and searching the folder, as the running user (Windows: a probe file).
bool FolderIsWritable(const std::string& folder);

// "$XDG_CONFIG_HOME/orvantis/", else "$HOME/.config/orvantis/"; a relative or empty
// XDG_CONFIG_HOME is ignored, as the base-directory rules ask. Empty when neither is usable.
std::string UserConfigFolder(const char* xdgConfigHome, const char* home);
// The folder for this user, ending in a separator; empty when unknown. Linux: the rule above
// from the environment, with the password database's home when HOME is unset. Windows:
// %APPDATA%/Orvantis/.
std::string UserConfigFolder();

// Creates each missing level of folder, private to the user as a new settings folder should be.
void MakePrivateFolders(const std::string& folder);

// Whether users other than the owner may read the file (a plan that holds passwords must not be
// shared). Linux: the group or others read bit. Windows: false, as the user's files are kept to
// the user by their folder's access list, and the mode bits the runtime reports say nothing.
bool OtherUsersMayRead(const std::string& path);

// Creates path empty when it is missing (an existing file keeps its contents); true when it can
// then be read.
bool EnsureReadableFile(const std::string& path);

}  // namespace orv
