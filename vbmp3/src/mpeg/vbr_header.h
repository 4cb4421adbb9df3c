// The Xing/Info (LAME and others) and VBRI (Fraunhofer) headers that an
// encoder puts in a silent first frame to give the stream's length.
#pragma once
#include <cstddef>
#include <cstdint>

#include "vbmp3/src/mpeg/mpeg_frame.h"

namespace vbmp3 {

struct VbrHeader {
  enum Kind { Xing, Info, Vbri } kind = Xing;
  bool hasFrames = false;
  bool hasBytes = false;
  uint32_t frames = 0;  // audio frames, the header's own frame not counted
  uint32_t bytes = 0;   // stream bytes as the encoder wrote them
};

// Looks for a header in the Layer III frame `frame` (`length` bytes, header
// `h`). "Info" marks a constant bit rate stream, "Xing" and VBRI a variable
// one.
bool ParseVbrHeader(const uint8_t* frame, size_t length, const FrameHeader& h, VbrHeader& out);

}  // namespace vbmp3
