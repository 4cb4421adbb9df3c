// The FLAC decoder on any bytes: a file's metadata blocks walked to the
// first frame (or, for bytes that are no FLAC file, their first 34 bytes as
// STREAMINFO and frames behind them), then every frame decoded: headers,
// subframes, residuals, the CRCs and the search for the next frame.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "vbmp3/src/flac/flac_decoder.h"
#include "vbmp3/src/flac/flac_stream_info.h"

namespace {

uint64_t FirstFrame(const uint8_t* data, size_t size, vbmp3::FlacStreamInfo& info) {
  if (size < 4 || std::memcmp(data, "fLaC", 4) != 0) {
    vbmp3::ParseFlacStreamInfo(data, size, info);
    return vbmp3::kFlacStreamInfoSize;
  }
  size_t at = 4;
  bool last = false;
  while (!last && at + 4 <= size) {
    last = (data[at] & 0x80) != 0;
    size_t length = (size_t{data[at + 1]} << 16) | (size_t{data[at + 2]} << 8) | data[at + 3];
    if ((data[at] & 0x7F) == 0 && at + 4 + length <= size) {
      vbmp3::ParseFlacStreamInfo(data + at + 4, length, info);
    }
    at += 4 + length;
  }
  return at;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vbmp3::FlacStreamInfo info;
  uint64_t first = FirstFrame(data, size, info);
  vbmp3::MemoryFile file(data, size);
  vbmp3::FlacDecoder decoder(file, first, info);
  std::vector<int32_t> samples;
  uint64_t previous = 0;
  bool any = false;
  while (decoder.DecodeFrame(samples)) {
    const vbmp3::FlacFrameHeader& header = decoder.Header();
    // Frames come out in file order, each whole and within the file.
    if (any && decoder.FrameOffset() <= previous) abort();
    if (decoder.Position() > size || decoder.FrameOffset() < first) abort();
    if (samples.size() != size_t{header.blockSize} * header.channels) abort();
    previous = decoder.FrameOffset();
    any = true;
  }
  return 0;
}
