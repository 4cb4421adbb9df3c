// MPEG stream measurement on any bytes: frame headers, Xing/Info/VBRI, junk
// search, free format, resynchronisation.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "vbmp3/src/audio_stream.h"
#include "vbmp3/src/mpeg/mpeg_frame.h"
#include "vbmp3/src/mpeg/vbr_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= 4) {
    vbmp3::FrameHeader h;
    if (vbmp3::ParseFrameHeader(data, h)) {
      vbmp3::VbrHeader v;
      vbmp3::ParseVbrHeader(data, size, h, v);
      if (h.bitRateKbps != 0 && h.frameLength <= 4) abort();
    }
  }
  vbmp3::MemoryFile file(data, size);
  vbmp3::MpegStream exact, located;
  const int32_t a = vbmp3::AnalyseMpeg(file, 0, size, vbmp3::Measure::Exact, exact);
  const int32_t b = vbmp3::AnalyseMpeg(file, 0, size, vbmp3::Measure::Locate, located);
  if (a != b) abort();  // both find the stream or neither
  if (a == 0) {
    // A walked stream lies inside the file and its frames fit in its bytes.
    // A file of nothing but a Xing frame has its (empty) audio at its end.
    if (exact.firstFrame > size || exact.end > size) abort();
    if (!exact.fromVbrHeader && exact.audioBytes > size - exact.firstFrame) abort();
    if (!exact.fromVbrHeader && exact.frames * 4 > exact.audioBytes + 4) abort();
    if (located.firstFrame != exact.firstFrame) abort();
  }
  return 0;
}
