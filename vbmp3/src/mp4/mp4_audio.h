// The audio figures of an MP4 track from its boxes' bodies (the bytes after
// each box header): the sample entry in stsd, the media and movie headers,
// the AAC decoder configuration and the ALAC magic cookie. Pure parsing:
// mp4_file.cpp finds and reads the boxes.
#pragma once
#include <cstddef>
#include <cstdint>

#include "vbmp3/src/audio_properties.h"

namespace vbmp3 {

// The timescale and duration of an mdhd or mvhd body (version 0: 32-bit
// times, version 1: 64-bit). False when the body is too short.
bool ParseMediaHeader(const uint8_t* body, size_t size, uint32_t& timescale, uint64_t& duration);

// What an MPEG-4 AudioSpecificConfig says (0 where it does not say).
struct AacConfig {
  int32_t channels = 0;
  int32_t samplingRate = 0;
};

// The AudioSpecificConfig inside an esds body (ES descriptor, decoder
// configuration, decoder specific information). False when not found.
bool ParseEsds(const uint8_t* body, size_t size, AacConfig& config);

// Fills format, channels, samplingRate and (ALAC) bitsPerSample from the
// body of an audio sample entry of type entryType: "mp4a" (and the
// protected "drms" and "enca") give "AAC", "alac" gives "ALAC"; any other
// type keeps the format empty. The entry's own channel count and rate come
// first; for AAC the esds configuration is taken where the entry says 0 (or
// 2 channels, which writers put for any layout) and the configuration
// differs; for ALAC the magic cookie (the inner alac box) says all three.
// False when the entry is too short to be an audio sample entry.
bool ParseAudioSampleEntry(uint32_t entryType, const uint8_t* body, size_t size,
                           AudioProperties& properties);

}  // namespace vbmp3
