// The "fmt " chunk of a WAV file.
#pragma once
#include <cstddef>
#include <cstdint>

namespace vbmp3 {

constexpr uint16_t kWaveFormatPcm = 1;
constexpr uint16_t kWaveFormatFloat = 3;
constexpr uint16_t kWaveFormatMpeg = 0x50;
constexpr uint16_t kWaveFormatMpegLayer3 = 0x55;
constexpr uint16_t kWaveFormatExtensible = 0xFFFE;

// WAVE_FORMAT_EXTENSIBLE is resolved to its sub-format.
struct WaveFormat {
  uint16_t formatTag = 0;
  uint16_t channels = 0;
  uint32_t sampleRate = 0;
  uint32_t byteRate = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
};

// Parses a fmt payload of `size` bytes. False when it is too short or its
// numbers cannot describe audio (no channels, no sample rate, no block).
bool ParseWaveFormat(const uint8_t* p, size_t size, WaveFormat& out);

inline bool IsMpegFormat(uint16_t tag) {
  return tag == kWaveFormatMpeg || tag == kWaveFormatMpegLayer3;
}

}  // namespace vbmp3
