#include "vbmp3/src/mp4/mp4_audio.h"

#include <cstring>

#include "vbmp3/src/io/byte_order.h"
#include "vbmp3/src/mp4/mp4_box.h"

namespace vbmp3 {

namespace {

uint32_t ReadBigEndian16(const uint8_t* p) { return (uint32_t{p[0]} << 8) | p[1]; }

// The body of the first child box of that type among the boxes in
// [data, data + size): 32-bit sizes only, as sample entries use.
bool FindInBytes(const uint8_t* data, size_t size, uint32_t type, const uint8_t*& body,
                 size_t& bodySize) {
  size_t at = 0;
  while (size - at >= 8) {
    const uint32_t boxSize = ReadBE32(data + at);
    if (boxSize < 8 || boxSize > size - at) return false;
    if (ReadBE32(data + at + 4) == type) {
      body = data + at + 8;
      bodySize = boxSize - 8;
      return true;
    }
    at += boxSize;
  }
  return false;
}

// A box of the sample entry's children, or of the children of its "wave"
// box, where QuickTime's sound descriptions keep the decoder's settings.
bool FindEntryChild(const uint8_t* data, size_t size, uint32_t type, const uint8_t*& body,
                    size_t& bodySize) {
  if (FindInBytes(data, size, type, body, bodySize)) return true;
  const uint8_t* wave = nullptr;
  size_t waveSize = 0;
  return FindInBytes(data, size, BoxType("wave"), wave, waveSize) &&
         FindInBytes(wave, waveSize, type, body, bodySize);
}

class BitReader {
 public:
  BitReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  // The next n bits (n <= 24); false once past the end.
  bool Read(int n, uint32_t& value) {
    value = 0;
    for (int i = 0; i < n; ++i, ++bit_) {
      if (bit_ / 8 >= size_) return false;
      value = (value << 1) | ((data_[bit_ / 8] >> (7 - bit_ % 8)) & 1);
    }
    return true;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t bit_ = 0;
};

bool ParseAudioSpecificConfig(const uint8_t* data, size_t size, AacConfig& config) {
  static constexpr int32_t kRates[13] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                         22050, 16000, 12000, 11025, 8000,  7350};
  BitReader bits(data, size);
  uint32_t objectType = 0, rateIndex = 0, channelConfig = 0, escaped = 0;
  if (!bits.Read(5, objectType)) return false;
  if (objectType == 31 && !bits.Read(6, escaped)) return false;
  if (!bits.Read(4, rateIndex)) return false;
  uint32_t rate = 0;
  if (rateIndex == 15) {
    if (!bits.Read(24, rate)) return false;
  } else if (rateIndex < 13) {
    rate = static_cast<uint32_t>(kRates[rateIndex]);
  }
  if (!bits.Read(4, channelConfig)) return false;
  config.samplingRate = static_cast<int32_t>(rate);
  config.channels = channelConfig == 7 ? 8 : (channelConfig < 7 ? channelConfig : 0);
  return true;
}

// A descriptor's tag and length at data[at]; at moves to its payload.
bool ReadDescriptor(const uint8_t* data, size_t size, size_t& at, uint8_t& tag, size_t& length) {
  if (at >= size) return false;
  tag = data[at++];
  length = 0;
  for (int i = 0; i < 4; ++i) {
    if (at >= size) return false;
    const uint8_t b = data[at++];
    length = (length << 7) | (b & 0x7F);
    if (!(b & 0x80)) break;
  }
  return length <= size - at;
}

void ApplyAacConfig(const AacConfig& config, AudioProperties& p) {
  if ((p.channels == 0 || p.channels == 2) && config.channels != 0) p.channels = config.channels;
  if (p.samplingRate == 0) p.samplingRate = config.samplingRate;
}

void ApplyAlacCookie(const uint8_t* body, size_t size, AudioProperties& p) {
  // The cookie is 24 bytes, after a version and flags in MP4 files.
  if (size >= 28) {
    body += 4;
    size -= 4;
  }
  if (size < 24) return;
  p.bitsPerSample = body[5];
  p.channels = body[9];
  p.samplingRate = static_cast<int32_t>(ReadBE32(body + 20) & 0x7FFFFFFF);
}

}  // namespace

bool ParseMediaHeader(const uint8_t* body, size_t size, uint32_t& timescale, uint64_t& duration) {
  if (size < 4) return false;
  if (body[0] == 1) {
    if (size < 32) return false;
    timescale = ReadBE32(body + 20);
    duration = ReadBigEndian64(body + 24);
    return true;
  }
  if (size < 20) return false;
  timescale = ReadBE32(body + 12);
  duration = ReadBE32(body + 16);
  return true;
}

bool ParseEsds(const uint8_t* body, size_t size, AacConfig& config) {
  size_t at = 4;  // version and flags
  uint8_t tag = 0;
  size_t length = 0;
  if (size < at || !ReadDescriptor(body, size, at, tag, length)) return false;
  if (tag == 3) {
    if (length < 3) return false;
    const uint8_t flags = body[at + 2];
    at += 3;
    if (flags & 0x80) at += 2;                            // depends on an ES
    if ((flags & 0x40) && at < size) at += 1 + body[at];  // URL
    if (flags & 0x20) at += 2;                            // OCR stream
    if (!ReadDescriptor(body, size, at, tag, length)) return false;
  }
  if (tag != 4 || length < 13) return false;
  at += 13;  // object type, stream type, buffer size, bit rates
  if (!ReadDescriptor(body, size, at, tag, length) || tag != 5) return false;
  return ParseAudioSpecificConfig(body + at, length, config);
}

bool ParseAudioSampleEntry(uint32_t entryType, const uint8_t* body, size_t size,
                           AudioProperties& p) {
  if (size < 28) return false;
  const uint32_t version = ReadBigEndian16(body + 8);
  p.channels = static_cast<int32_t>(ReadBigEndian16(body + 16));
  p.samplingRate = static_cast<int32_t>(ReadBE32(body + 24) >> 16);
  size_t children = 28;
  if (version == 1) {
    children = 44;
  } else if (version == 2 && size >= 64) {
    // QuickTime's version 2: the rate as a double, the channels after it.
    double rate = 0;
    const uint64_t bits = ReadBigEndian64(body + 32);
    std::memcpy(&rate, &bits, sizeof rate);
    p.samplingRate = rate >= 1 && rate < 1e7 ? static_cast<int32_t>(rate + 0.5) : 0;
    p.channels = static_cast<int32_t>(ReadBE32(body + 40) & 0xFFFF);
    children = 64;
  }
  if (children > size) children = size;
  const uint8_t* inner = nullptr;
  size_t innerSize = 0;
  const uint8_t* rest = body + children;
  const size_t restSize = size - children;
  if (entryType == BoxType("alac")) {
    p.format = "ALAC";
    if (FindEntryChild(rest, restSize, BoxType("alac"), inner, innerSize))
      ApplyAlacCookie(inner, innerSize, p);
  } else if (entryType == BoxType("mp4a") || entryType == BoxType("drms") ||
             entryType == BoxType("enca")) {
    p.format = "AAC";
    AacConfig config;
    if (FindEntryChild(rest, restSize, BoxType("esds"), inner, innerSize) &&
        ParseEsds(inner, innerSize, config))
      ApplyAacConfig(config, p);
  }
  return true;
}

}  // namespace vbmp3
