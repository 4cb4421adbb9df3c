// A FLAC frame's header, and the two checksums that guard a frame: CRC-8 of
// the header, CRC-16 of the whole frame.
#pragma once
#include <cstddef>
#include <cstdint>

#include "vbmp3/src/flac/flac_stream_info.h"

namespace vbmp3 {

// How the channels of a frame are coded: independently, or as a pair with
// a side channel (the difference), which takes one bit more.
enum class FlacChannels : uint8_t { Independent, LeftSide, RightSide, MidSide };

struct FlacFrameHeader {
  bool variableBlockSize = false;  // the number is a sample number, else a frame number
  uint64_t number = 0;
  uint32_t blockSize = 0;  // samples per channel
  uint32_t sampleRate = 0;
  uint32_t channels = 0;
  FlacChannels assignment = FlacChannels::Independent;
  uint32_t bitsPerSample = 0;
  size_t headerSize = 0;  // bytes, CRC-8 included
};

// The longest header: sync and codes (4), a 7-byte sample number, 16 bits of
// block size, 16 bits of sample rate and the CRC-8.
inline constexpr size_t kFlacMaxFrameHeaderSize = 16;
inline constexpr size_t kFlacFrameCrcSize = 2;

enum class FlacParse { Ok, Invalid, NeedMore };

// Parses the frame header at `data`. Rate and sample size coded as "see
// STREAMINFO" come from `info`; a header whose figures are impossible or
// disagree with `info` (channels, sample size), or whose CRC-8 does not
// match, is Invalid. NeedMore: `size` ends inside the header.
FlacParse ParseFlacFrameHeader(const uint8_t* data, size_t size, const FlacStreamInfo& info,
                               FlacFrameHeader& header);

// Whether the two bytes at `data` are a frame sync (0xFFF8 or 0xFFF9).
inline bool IsFlacFrameSync(const uint8_t* data) {
  return data[0] == 0xFF && (data[1] & 0xFE) == 0xF8;
}

// CRC-8, polynomial x^8 + x^2 + x + 1, initial value 0.
uint8_t FlacCrc8(const uint8_t* data, size_t size);
// CRC-16, polynomial x^16 + x^15 + x^2 + 1, initial value 0.
uint16_t FlacCrc16(const uint8_t* data, size_t size);

}  // namespace vbmp3
