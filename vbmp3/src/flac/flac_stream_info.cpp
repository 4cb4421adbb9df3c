#include "vbmp3/src/flac/flac_stream_info.h"

#include <cstring>

namespace vbmp3 {

bool ParseFlacStreamInfo(const uint8_t* b, size_t size, FlacStreamInfo& info) {
  if (!b || size < kFlacStreamInfoSize) return false;
  FlacStreamInfo out;
  out.minBlockSize = (uint32_t{b[0]} << 8) | b[1];
  out.maxBlockSize = (uint32_t{b[2]} << 8) | b[3];
  out.minFrameSize = (uint32_t{b[4]} << 16) | (uint32_t{b[5]} << 8) | b[6];
  out.maxFrameSize = (uint32_t{b[7]} << 16) | (uint32_t{b[8]} << 8) | b[9];
  // 20 bits of rate, 3 of channels minus one, 5 of sample size minus one,
  // 36 of total samples.
  out.sampleRate = (uint32_t{b[10]} << 12) | (uint32_t{b[11]} << 4) | (b[12] >> 4);
  out.channels = ((b[12] >> 1) & 0x07) + 1;
  out.bitsPerSample = (((b[12] & 0x01) << 4) | (b[13] >> 4)) + 1;
  out.totalSamples = (uint64_t{b[13] & 0x0Fu} << 32) | (uint64_t{b[14]} << 24) |
                     (uint64_t{b[15]} << 16) | (uint64_t{b[16]} << 8) | b[17];
  std::memcpy(out.md5, b + 18, sizeof(out.md5));
  info = out;
  return true;
}

}  // namespace vbmp3
