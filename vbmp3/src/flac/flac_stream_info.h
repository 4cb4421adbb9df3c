// FLAC's STREAMINFO block: what every frame of the stream shares, and what a
// frame header may leave to it (sample rate and sample size coded as "see
// STREAMINFO").
#pragma once
#include <cstddef>
#include <cstdint>

namespace vbmp3 {

struct FlacStreamInfo {
  uint32_t minBlockSize = 0, maxBlockSize = 0;  // samples per channel
  uint32_t minFrameSize = 0, maxFrameSize = 0;  // bytes; 0 when unknown
  uint32_t sampleRate = 0;
  uint32_t channels = 0;       // 1..8
  uint32_t bitsPerSample = 0;  // 4..32
  uint64_t totalSamples = 0;   // per channel; 0 when unknown
  uint8_t md5[16] = {};
};

inline constexpr size_t kFlacStreamInfoSize = 34;

// Parses the 34-byte body of a STREAMINFO block; false only when it is
// shorter. The figures are as stored: a reader that needs them valid (a
// sample rate of 0 is not) checks what it uses.
bool ParseFlacStreamInfo(const uint8_t* body, size_t size, FlacStreamInfo& info);

}  // namespace vbmp3
