// One MPEG audio frame header (MPEG-1, MPEG-2, MPEG-2.5; Layers I, II, III).
#pragma once
#include <cstddef>
#include <cstdint>

namespace vbmp3 {

struct FrameHeader {
  uint32_t raw = 0;      // the four header bytes, big endian
  int version = 0;       // 1 MPEG-1, 2 MPEG-2, 3 MPEG-2.5
  int layer = 0;         // 1, 2 or 3
  bool crc = false;      // a 16-bit CRC follows the header
  int bitRateKbps = 0;   // 0: free format
  int samplingRate = 0;  // Hz
  bool padding = false;
  int channelMode = 0;      // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
  int channels = 0;         // 1 or 2
  int samplesPerFrame = 0;  // 384, 1152, or 576 for MPEG-2/2.5 Layer III
  int slotBytes = 0;        // size of the padding slot: 4 for Layer I, else 1
  int frameLength = 0;      // whole frame in bytes; 0 for free format
  int sideInfoLength = 0;   // Layer III side information after header and CRC
};

// Parses the four bytes at `p`. False for anything that is not a usable
// header: no sync, reserved version, layer, bit rate, sampling rate or
// emphasis.
bool ParseFrameHeader(const uint8_t* p, FrameHeader& out);

// True when `next` can continue a stream that `first` started: the same
// version, layer and sampling rate, and both free format or neither.
bool SameStream(const FrameHeader& first, const FrameHeader& next);

// Length of a frame whose header is `h`. For free format streams,
// `freeFormatLength` is the stream's frame length without padding
// (FreeFormatBaseLength); other streams ignore it.
int FrameLength(const FrameHeader& h, int freeFormatLength);

// Frame length without padding for a free-format frame `h` that is followed,
// `distance` bytes after its start, by the next frame.
inline int FreeFormatBaseLength(const FrameHeader& h, int distance) {
  return distance - (h.padding ? h.slotBytes : 0);
}

// The longest frame any stream can have (free-format Layer I at its highest
// rate stays well below), used to bound searches.
constexpr int kMaxFrameLength = 8192;

}  // namespace vbmp3
