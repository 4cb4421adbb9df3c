// Small audio files built byte by byte, for cases no encoder makes on
// demand (Layer I, VBRI, damaged files) and for tests without encoders.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace synth {

using Bytes = std::vector<uint8_t>;

// Silent frames: the header `header` (big endian value) with a zero
// payload, `count` times; `padEvery` sets the padding bit on every n-th
// frame (0: never). The frame length comes from the header.
Bytes Frames(uint32_t header, int count, int padEvery = 0);
// A free-format Layer III frame stream: `length` bytes per frame.
Bytes FreeFormatFrames(uint32_t header, int length, int count);

// MPEG-1 Layer III, 44.1 kHz, joint stereo, 128 kbps: 417/418 bytes a frame.
constexpr uint32_t kMpeg1L3 = 0xFFFB9040;
// MPEG-1 Layer I, 44.1 kHz, stereo, 384 kbps.
constexpr uint32_t kMpeg1L1 = 0xFFFFC000;

// An ID3v1 tag; `track` > 0 makes it ID3v1.1.
Bytes Id3v1(const std::string& title, const std::string& artist, const std::string& comment,
            int track, int genre);
// An ID3v2.3 tag of `body` bytes (zeros: padding only).
Bytes Id3v2(uint32_t body, bool footer = false);
// An ID3v2 tag of version `major` (2, 3, 4) with header flags `flags`
// around `body` (frames, padding) as given: the size is the body's.
Bytes Id3v2Tag(int major, uint8_t flags, const Bytes& body);
// A frame of version `major`: 2.2 3-byte sizes, 2.3 plain, 2.4 sync-safe
// sizes; `flags` is the second flag byte (2.3, 2.4).
Bytes Id3v2Frame(int major, const std::string& id, const Bytes& data, uint8_t flags = 0);
// A text frame's data: encoding byte then the bytes as given.
Bytes Text(uint8_t encoding, const std::string& bytes);
// `b` with 0x00 put after every 0xFF that is followed by 0x00 or 0xE0 or
// more, and after a final 0xFF: the unsynchronisation scheme.
Bytes Unsynchronise(const Bytes& b);

// An APEv2 tag with header and footer and one item.
Bytes Ape();

// A RIFF form: `type` then the chunks, each given as id + payload.
struct Chunk {
  std::string id;
  Bytes payload;
};
Bytes Riff(const std::string& type, const std::vector<Chunk>& chunks);
// A WAVEFORMATEX (16 bytes, or 18+extra for non-PCM codings).
Bytes WaveFormat(uint16_t tag, uint16_t channels, uint32_t rate, uint32_t byteRate,
                 uint16_t blockAlign, uint16_t bits);

Bytes Join(std::initializer_list<Bytes> parts);

// `v` appended big endian, in 2, 4 or 8 bytes.
void Append16(Bytes& out, uint32_t v);
void Append32(Bytes& out, uint32_t v);
void Append64(Bytes& out, uint64_t v);
// An MP4 box: 32-bit size, four-character type, body.
Bytes Mp4Box(const std::string& type, const Bytes& body);
// An iTunes item's "data" box: type code (1 UTF-8, 0 binary), locale 0.
Bytes Mp4Data(uint32_t typeCode, const Bytes& value);

}  // namespace synth
