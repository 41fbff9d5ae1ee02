#pragma once

#include <filesystem>
#include <string_view>

namespace ptk {

// Replaces the file at path with content: the bytes go to a temporary file beside it, are forced
// to the disk, and the temporary file is then renamed over the old one. Whatever fails on the way
// (a full disk, a crash) leaves the old file as it was. False on failure; the temporary file is
// removed again.
bool replaceFileAtomically(const std::filesystem::path& path, std::string_view content);

// The temporary file replaceFileAtomically writes first.
std::filesystem::path temporaryPathFor(const std::filesystem::path& path);

}  // namespace ptk
