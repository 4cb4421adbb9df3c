// The file a player reads from while it plays.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "vbmp3/src/file_io.h"

namespace vbmp3::playback {

// Opens the file at `path` (ANSI code page) for reading, letting others
// read, write, rename and delete it meanwhile: a file that plays must not
// make the rename run or the tag editor fail. On failure returns null and
// sets `error` to VBMP3_ERR_FILE_NOT_FOUND (nothing there, or a folder) or
// VBMP3_ERR_CANNOT_OPEN.
std::unique_ptr<RandomAccessFile> OpenForPlayback(const std::string& path, int32_t& error);

}  // namespace vbmp3::playback
