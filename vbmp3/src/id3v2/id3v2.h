// The ID3v2 tag header (and footer): version, flags and size. Where the
// frames are is id3v2_frames' business; here only how long a tag is.
#pragma once
#include <cstddef>
#include <cstdint>

namespace vbmp3 {

constexpr size_t kId3v2HeaderLength = 10;

// The tag header's flags.
constexpr uint8_t kId3v2TagUnsynchronised = 0x80;  // every version
constexpr uint8_t kId3v22TagCompressed = 0x40;     // 2.2 only: no scheme was ever defined
constexpr uint8_t kId3v2TagExtendedHeader = 0x40;  // 2.3, 2.4
constexpr uint8_t kId3v24TagFooter = 0x10;

struct Id3v2Header {
  int major = 0;  // 2, 3 or 4 for a tag we read; anything else is only skipped
  uint8_t flags = 0;
  uint64_t bodyLength = 0;  // after the header: extended header, frames, padding
  bool footer = false;      // 2.4: a footer follows the body
};

// Reads the 10-byte header at `p`. False when `p` is not one.
bool ParseId3v2Header(const uint8_t* p, Id3v2Header& header);

// Total length (header, body with padding, and footer when flagged) of the
// ID3v2 tag whose 10-byte header is at `p`, or 0 when `p` is not one.
uint64_t Id3v2TagLength(const uint8_t* p);

// Total length of an ID3v2 tag whose 10-byte footer ("3DI") is at `p`, as
// found at the end of a file, or 0 when `p` is not one.
uint64_t Id3v2FooterTagLength(const uint8_t* p);

}  // namespace vbmp3
