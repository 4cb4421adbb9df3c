// Tags that sit after the audio at the end of a file: ID3v1 (with the
// "TAG+" extension), APEv1/APEv2, Lyrics3 v1/v2 and an appended ID3v2.
#pragma once
#include <cstdint>

#include "vbmp3/src/io/byte_window.h"

namespace vbmp3 {

struct TrailingTags {
  uint64_t audioEnd = 0;  // where the tags begin (== the region's end when none)
  bool hasId3v1 = false;
  uint64_t id3v1Offset = 0;  // the 128-byte ID3v1 tag, when hasId3v1
  // Where the tags begin when the block right before the ID3v1 tag is not
  // taken for a "TAG+" or Lyrics3 v1 tag: those count only in front of an
  // ID3v1 tag, so appending one can turn bytes that were read as audio into
  // such a block. Equal to audioEnd when there is no such block.
  uint64_t audioEndWithoutExtension = 0;
};

// `end`, or where a 128-byte ID3v1 tag ending there begins. An ID3v2 tag at
// the start of a file may not reach past this: one that claims to is
// broken, whether the ID3v1 tag is there yet or not, so that appending one
// changes neither where the audio starts nor what the ID3v2 tag holds.
uint64_t EndBeforeId3v1(ByteWindow& bytes, uint64_t end);

// Finds the tags at the end of [begin, end) and returns where they begin.
// Tag sizes that reach before `begin` are not believed.
TrailingTags FindTrailingTags(ByteWindow& bytes, uint64_t begin, uint64_t end);

}  // namespace vbmp3
