// Editing the seven values the library reads from an ID3v2 tag (title,
// artist, album, year, comment, genre, track) in the frames of a tag: a
// value that differs from what the tag holds gets a new frame in place of
// the one it was read from (or an added one, or none when it is empty);
// every other frame stays byte for byte, in its order.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "vbmp3/src/id3v2/id3v2_frame_list.h"
#include "vbmp3/src/id3v2/id3v2_tag.h"

namespace vbmp3 {

// The seven values, UTF-8, in Id3v2Value order.
using Id3v2Values = std::array<std::string, kValueCount>;

// A value as the writer puts it in a frame: up to its first NUL, valid
// UTF-8, without leading U+FEFF (which readers take for a byte order mark
// and drop).
std::string WritableValue(std::string_view text);

// Callers of the record hand values over in fields of 127 bytes: a value
// equal to the cut form of a longer one the tag holds is that value
// unchanged, unless the values came whole.
constexpr size_t kValueFieldWidth = 127;

struct Id3v2Edit {
  bool changed = false;  // false: the tag holds the values already
  int major = 0;         // of the tag to write: 3 or 4
  std::vector<Id3v2RawFrame> frames;
};

// Puts `values` into the frames of `old` (major 0: the file has no tag, and
// a new 2.3 tag is made; a 2.2 tag becomes 2.3), whose values as the reader
// takes them are `current`. With `repairShiftJis`, a value read from
// Shift_JIS bytes is written again in the tag's Unicode encoding even when
// it is unchanged. `wholeValues`: the values were not cut to the record's
// fields, so each is compared whole. Returns 0, or
// VBMP3_ERR_TAG_NOT_REWRITABLE when a frame of the seven kinds is compressed
// or encrypted.
int32_t EditId3v2Values(const Id3v2FrameList& old, const Id3v2Tag& current,
                        const Id3v2Values& values, bool repairShiftJis, Id3v2Edit& out,
                        bool wholeValues = false);

// What the reader gives back for a genre value the writer wrote.
std::string GenreAsRead(const std::string& value);

}  // namespace vbmp3
