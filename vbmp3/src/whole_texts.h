// The seven ID3v2 values handed over whole rather than in the texts
// record's 127-byte fields: one block of UTF-8 texts, each ended by a NUL,
// in the order title, artist, album, year, comment, genre, track; the block
// vbmp3_getFileInfoWhole hands over has the album artist and the disc after
// them.
#pragma once
#include <cstdint>
#include <string>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/id3v2/id3v2_edit.h"

namespace vbmp3 {

// The values as one block.
std::string JoinValueBlock(const Id3v2Values& values);
// The values of the first `size` bytes of `block`; false unless all seven
// are there, each ended by its NUL.
bool SplitValueBlock(const char* block, size_t size, Id3v2Values& values);

// vbmp3_getFileInfoWhole and vbmp3_setTagTextsWhole by path (ANSI bytes): 1
// or 0, and the last error number.
int32_t GetFileInfoWhole(const char* path, TagRecord* tag, StreamInfoRecord* info,
                         TagTextsRecord* texts, char* values, int32_t size, int32_t* needed);
int32_t SetTagTextsWhole(const char* path, const char* values, int32_t size, int32_t options);

}  // namespace vbmp3
