#pragma once
// Saving a settings file so that a crash or a power cut leaves the old or the new contents, never
// a mix.
#include <filesystem>
#include <string_view>

namespace orv {

// Replaces the file's contents as one step (a new file beside it, then renamed over it, and the
// folder synced), keeping its permissions and owner; a missing file is created. A symbolic link
// is followed only for an unprivileged user. False when it cannot be written.
bool ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes);

}  // namespace orv
