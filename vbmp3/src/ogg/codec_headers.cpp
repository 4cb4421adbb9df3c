#include "vbmp3/src/ogg/codec_headers.h"

#include <cstring>

#include "vbmp3/src/io/byte_order.h"

namespace vbmp3 {
namespace {

bool IsVorbisPacket(const uint8_t* packet, size_t size, uint8_t type) {
  return size >= 7 && packet[0] == type && std::memcmp(packet + 1, "vorbis", 6) == 0;
}

}  // namespace

bool ParseVorbisIdentification(const uint8_t* packet, size_t size, VorbisIdentification& out) {
  if (!IsVorbisPacket(packet, size, 1) || size < 30) return false;
  if (ReadLE32(packet + 7) != 0) return false;
  out.channels = packet[11];
  out.sampleRate = ReadLE32(packet + 12);
  out.nominalBitrate = static_cast<int32_t>(ReadLE32(packet + 20));
  return out.channels > 0 && out.sampleRate > 0;
}

bool ParseVorbisComment(const uint8_t* packet, size_t size, XiphComment& out) {
  return IsVorbisPacket(packet, size, 3) && ParseXiphComment(packet + 7, size - 7, out);
}

bool IsVorbisSetup(const uint8_t* packet, size_t size) { return IsVorbisPacket(packet, size, 5); }

bool ParseOpusHead(const uint8_t* packet, size_t size, OpusHead& out) {
  if (size < 19 || std::memcmp(packet, "OpusHead", 8) != 0) return false;
  if ((packet[8] & 0xF0) != 0) return false;  // a later major version we cannot read
  out.channels = packet[9];
  out.preSkip = ReadLE16(packet + 10);
  out.inputSampleRate = ReadLE32(packet + 12);
  return out.channels > 0;
}

bool ParseOpusTags(const uint8_t* packet, size_t size, XiphComment& out) {
  return size >= 8 && std::memcmp(packet, "OpusTags", 8) == 0 &&
         ParseXiphComment(packet + 8, size - 8, out);
}

}  // namespace vbmp3
