#include "vbmp3/src/riff/wav_format.h"

#include "vbmp3/src/io/byte_order.h"

namespace vbmp3 {

bool ParseWaveFormat(const uint8_t* p, size_t size, WaveFormat& out) {
  if (size < 16) return false;
  WaveFormat f;
  f.formatTag = ReadLE16(p);
  f.channels = ReadLE16(p + 2);
  f.sampleRate = ReadLE32(p + 4);
  f.byteRate = ReadLE32(p + 8);
  f.blockAlign = ReadLE16(p + 12);
  f.bitsPerSample = ReadLE16(p + 14);
  if (f.formatTag == kWaveFormatExtensible) {
    // cbSize, valid bits, channel mask, then the sub-format GUID whose
    // first two bytes are the format tag.
    if (size < 40 || ReadLE16(p + 16) < 22) return false;
    f.formatTag = ReadLE16(p + 24);
  }
  if (f.channels == 0 || f.sampleRate == 0) return false;
  // MPEG data is measured from its frames; everything else needs its block.
  if (!IsMpegFormat(f.formatTag) && (f.blockAlign == 0 || f.byteRate == 0)) return false;
  out = f;
  return true;
}

}  // namespace vbmp3
