// The frames of an ID3v2.2/2.3/2.4 tag: frame headers and flags, whole-tag
// (2.2, 2.3) and per-frame (2.4) unsynchronisation, the extended header, the
// data length indicator, padding. What a frame's data means is id3v2_tag's
// business.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "vbmp3/src/id3v2/id3v2_frame_header.h"

namespace vbmp3 {

// Receives a frame's id (3 characters for 2.2, 4 after) and its data with
// unsynchronisation undone and the grouping byte and data length indicator
// taken off. Both are valid during the call only.
using Id3v2FrameVisitor = std::function<void(std::string_view id, std::string_view data)>;

// Walks the frames of the tag whose bytes, header first, are [tag, tag +
// size): `size` may stop short of the tag's declared end when the file
// does. Frames are given in their order; a compressed or encrypted frame is
// skipped, and a frame that runs past the tag or the bytes ends the walk.
// Returns the tag's major version (2, 3, 4), or 0 when the bytes do not
// start such a tag.
int WalkId3v2Frames(const uint8_t* tag, size_t size, const Id3v2FrameVisitor& visit);

// A frame's `data` of a `major` tag as a reader takes it: without its
// grouping byte and 2.4 data length indicator, unsynchronisation undone when
// the frame's flags or `tagUnsynchronised` (the tag's, not yet undone) say
// so, into `buffer`. False when the flags promise bytes the data lacks.
// Compressed and encrypted data is given as it is.
bool UnwrapId3v2FrameData(std::string_view& data, int major, const Id3v2FrameFlags& flags,
                          bool tagUnsynchronised, std::string& buffer);

// `bytes` with the unsynchronisation scheme undone: every 0x00 that follows
// a 0xFF is dropped.
std::string RemoveUnsynchronisation(std::string_view bytes);

}  // namespace vbmp3
