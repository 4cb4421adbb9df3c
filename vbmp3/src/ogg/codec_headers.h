// The header packets that open Ogg Vorbis and Ogg Opus streams: what the
// codec says of the audio, and the comment packet that holds the tag.
#pragma once
#include <cstddef>
#include <cstdint>

#include "vbmp3/src/ogg/xiph_comment.h"

namespace vbmp3 {

struct VorbisIdentification {
  int32_t channels = 0;
  uint32_t sampleRate = 0;
  int32_t nominalBitrate = 0;  // bits per second; 0 or less when not given
};

struct OpusHead {
  int32_t channels = 0;
  uint16_t preSkip = 0;  // samples at 48 kHz to drop from the start
  uint32_t inputSampleRate = 0;
};

// Packet type 1 + "vorbis", version 0, non-zero channels and rate.
bool ParseVorbisIdentification(const uint8_t* packet, size_t size, VorbisIdentification& out);
// Packet type 3 + "vorbis", then the comment structure.
bool ParseVorbisComment(const uint8_t* packet, size_t size, XiphComment& out);
// True when the packet is the setup header (type 5 + "vorbis").
bool IsVorbisSetup(const uint8_t* packet, size_t size);
// "OpusHead", a version whose major part is 0, non-zero channels.
bool ParseOpusHead(const uint8_t* packet, size_t size, OpusHead& out);
// "OpusTags", then the comment structure.
bool ParseOpusTags(const uint8_t* packet, size_t size, XiphComment& out);

}  // namespace vbmp3
