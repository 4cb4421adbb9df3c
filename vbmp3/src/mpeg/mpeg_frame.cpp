#include "vbmp3/src/mpeg/mpeg_frame.h"

#include "vbmp3/src/io/byte_order.h"

namespace vbmp3 {
namespace {

// Bit rates in kbps by [MPEG-1 ? 0 : 1][layer - 1][index].
constexpr int16_t kBitRates[2][3][16] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, -1},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, -1},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, -1}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, -1},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, -1},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, -1}}};

constexpr int kSamplingRates[3][3] = {
    {44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};

}  // namespace

bool ParseFrameHeader(const uint8_t* p, FrameHeader& out) {
  const uint32_t h = ReadBE32(p);
  if ((h & 0xFFE00000u) != 0xFFE00000u) return false;
  const int versionBits = (h >> 19) & 3;
  const int layerBits = (h >> 17) & 3;
  const int bitRateIndex = (h >> 12) & 15;
  const int rateIndex = (h >> 10) & 3;
  // Reserved values; a reserved emphasis also rules out many false syncs.
  if (versionBits == 1 || layerBits == 0 || bitRateIndex == 15 || rateIndex == 3 || (h & 3) == 2) {
    return false;
  }
  FrameHeader f;
  f.raw = h;
  f.version = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 3;
  f.layer = 4 - layerBits;
  f.crc = ((h >> 16) & 1) == 0;
  f.bitRateKbps = kBitRates[f.version == 1 ? 0 : 1][f.layer - 1][bitRateIndex];
  f.samplingRate = kSamplingRates[f.version - 1][rateIndex];
  f.padding = ((h >> 9) & 1) != 0;
  f.channelMode = (h >> 6) & 3;
  f.channels = f.channelMode == 3 ? 1 : 2;
  f.samplesPerFrame = f.layer == 1 ? 384 : (f.layer == 3 && f.version != 1) ? 576 : 1152;
  f.slotBytes = f.layer == 1 ? 4 : 1;
  if (f.layer == 3) {
    if (f.version == 1) {
      f.sideInfoLength = f.channels == 1 ? 17 : 32;
    } else {
      f.sideInfoLength = f.channels == 1 ? 9 : 17;
    }
  }
  f.frameLength = FrameLength(f, 0);
  out = f;
  return true;
}

bool SameStream(const FrameHeader& first, const FrameHeader& next) {
  return first.version == next.version && first.layer == next.layer &&
         first.samplingRate == next.samplingRate &&
         (first.bitRateKbps == 0) == (next.bitRateKbps == 0);
}

int FrameLength(const FrameHeader& h, int freeFormatLength) {
  const int pad = h.padding ? h.slotBytes : 0;
  if (h.bitRateKbps == 0) return freeFormatLength > 0 ? freeFormatLength + pad : 0;
  const int bits = h.bitRateKbps * 1000;
  if (h.layer == 1) return (12 * bits / h.samplingRate + (h.padding ? 1 : 0)) * 4;
  return h.samplesPerFrame / 8 * bits / h.samplingRate + pad;
}

}  // namespace vbmp3
