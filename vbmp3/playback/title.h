// The texts shown while a file plays.
#pragma once
#include <cstddef>
#include <string>

namespace vbmp3::playback {

// Writes the ID3v1 title and artist of the file at `path` into the two
// fields (`width` bytes each, ANSI), NUL-terminated and NUL-filled: callers
// cut at the first NUL, and padding spaces would end up on screen. Empty
// when the file has no tag.
void ReadTagTexts(const std::string& path, char* title, char* artist, size_t width);

}  // namespace vbmp3::playback
