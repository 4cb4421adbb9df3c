// ID3v2 tags, which are not audio: only their size matters here.
#pragma once
#include <cstddef>
#include <cstdint>

namespace vbmp3 {

constexpr size_t kId3v2HeaderLength = 10;

// Total length (header, body with padding, and footer when flagged) of the
// ID3v2 tag whose 10-byte header is at `p`, or 0 when `p` is not one.
uint64_t Id3v2TagLength(const uint8_t* p);

// Total length of an ID3v2 tag whose 10-byte footer ("3DI") is at `p`, as
// found at the end of a file, or 0 when `p` is not one.
uint64_t Id3v2FooterTagLength(const uint8_t* p);

}  // namespace vbmp3
