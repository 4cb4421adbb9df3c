// The frames of an ID3v2 tag as they lie on disk, for rewriting a tag: each
// frame kept whole (header, flags and data, byte for byte), and a tag put
// together again from such frames and padding. What a frame's data means is
// id3v2_tag's and id3v2_edit's business.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vbmp3/src/id3v2/id3v2_frame_header.h"

namespace vbmp3 {

struct Id3v2RawFrame {
  std::string id;      // 3 characters (2.2) or 4
  uint8_t flags[2]{};  // the frame's flag bytes (2.3, 2.4); zero for 2.2
  std::string bytes;   // the whole frame as on disk, header first

  // The frame's data as stored (after its header).
  std::string_view Data() const;
  // The flags by name, for a frame of a tag of `major`.
  Id3v2FrameFlags Flags(int major) const {
    return DecodeId3v2FrameFlags(major, flags[0], flags[1]);
  }
  // The data as a reader takes it in a tag of `major`: without a grouping
  // byte or 2.4 data length indicator, per-frame unsynchronisation undone.
  // Empty when the flags promise bytes the frame lacks.
  std::string Content(int major) const;
};

struct Id3v2FrameList {
  int major = 0;           // 2, 3 or 4
  uint64_t tagLength = 0;  // on disk: header, body with padding, footer
  std::vector<Id3v2RawFrame> frames;
};

enum class FrameListOutcome {
  kSplit,          // the frames are in the list
  kNoTag,          // the bytes start no ID3v2 tag
  kNotRewritable,  // a tag we cannot rewrite without losing or changing what it holds
};

// Splits the tag at the start of [p, p + available) into its frames. Not
// rewritable: a version other than 2.2-2.4, whole-tag unsynchronisation, a
// 2.2 tag flagged as compressed, an extended header with a CRC (which a new
// tag would falsify) or one we cannot read, a tag longer than the bytes
// given. Frames end where the reader's end (padding, a byte that starts no
// frame id, a frame running past the tag); what follows them counts as
// padding. An extended header without a CRC is not kept.
FrameListOutcome SplitId3v2Frames(const uint8_t* p, size_t available, Id3v2FrameList& out);

// The largest body a tag header can declare.
constexpr uint64_t kMaxId3v2Body = 0x0FFFFFFF;

// A whole tag of `major` (3 or 4): header without flags, the frames in their
// order, then `padding` zero bytes. Empty when it would be too large.
std::string JoinId3v2Frames(int major, const std::vector<Id3v2RawFrame>& frames, size_t padding);

}  // namespace vbmp3
