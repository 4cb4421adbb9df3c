// The title shown while a file plays.
#pragma once
#include <cstddef>
#include <string>

namespace vbmp3::playback {

// Writes the ID3v1 title of the file at `path` into `out` (`width` bytes,
// ANSI), NUL-terminated and NUL-filled: callers cut at the first NUL, and
// padding spaces would end up on screen. Empty when there is no tag.
void ReadTitle(const std::string& path, char* out, size_t width);

}  // namespace vbmp3::playback
