#include "tests/vbmp3/synth.h"

#include <algorithm>
#include <cstring>

#include "vbmp3/src/io/byte_order.h"
#include "vbmp3/src/mpeg/mpeg_frame.h"

namespace synth {

namespace {

void PutBE32(Bytes& b, size_t at, uint32_t v) {
  b[at] = static_cast<uint8_t>(v >> 24);
  b[at + 1] = static_cast<uint8_t>(v >> 16);
  b[at + 2] = static_cast<uint8_t>(v >> 8);
  b[at + 3] = static_cast<uint8_t>(v);
}

void Append(Bytes& b, const void* p, size_t n) {
  const size_t at = b.size();
  b.resize(at + n);
  if (n) std::memcpy(b.data() + at, p, n);
}

void AppendLE32(Bytes& b, uint32_t v) {
  uint8_t le[4];
  vbmp3::WriteLE32(le, v);
  Append(b, le, 4);
}

void AppendLE16(Bytes& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}

}  // namespace

Bytes Frames(uint32_t header, int count, int padEvery) {
  Bytes out;
  for (int i = 0; i < count; ++i) {
    uint32_t h = header & ~0x200u;
    if (padEvery > 0 && i % padEvery == padEvery - 1) h |= 0x200u;
    uint8_t raw[4] = {static_cast<uint8_t>(h >> 24), static_cast<uint8_t>(h >> 16),
                      static_cast<uint8_t>(h >> 8), static_cast<uint8_t>(h)};
    vbmp3::FrameHeader f;
    vbmp3::ParseFrameHeader(raw, f);
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(f.frameLength));
    PutBE32(out, at, h);
  }
  return out;
}

Bytes FreeFormatFrames(uint32_t header, int length, int count) {
  Bytes out;
  for (int i = 0; i < count; ++i) {
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(length));
    PutBE32(out, at, header);
  }
  return out;
}

Bytes Id3v1(const std::string& title, const std::string& artist, const std::string& comment,
            int track, int genre) {
  Bytes t(128, 0);
  std::memcpy(t.data(), "TAG", 3);
  std::memcpy(t.data() + 3, title.data(), std::min<size_t>(title.size(), 30));
  std::memcpy(t.data() + 33, artist.data(), std::min<size_t>(artist.size(), 30));
  std::memcpy(t.data() + 97, comment.data(), std::min<size_t>(comment.size(), track ? 28 : 30));
  if (track) t[126] = static_cast<uint8_t>(track);
  t[127] = static_cast<uint8_t>(genre);
  return t;
}

Bytes Id3v2(uint32_t body, bool footer) {
  Bytes t(10 + body + (footer ? 10 : 0), 0);
  const uint8_t size[4] = {
      static_cast<uint8_t>((body >> 21) & 0x7F), static_cast<uint8_t>((body >> 14) & 0x7F),
      static_cast<uint8_t>((body >> 7) & 0x7F), static_cast<uint8_t>(body & 0x7F)};
  std::memcpy(t.data(), "ID3", 3);
  t[3] = footer ? 4 : 3;
  t[5] = footer ? 0x10 : 0;
  std::memcpy(t.data() + 6, size, 4);
  if (footer) {
    std::memcpy(t.data() + 10 + body, "3DI", 3);
    t[10 + body + 3] = 4;
    t[10 + body + 5] = 0x10;
    std::memcpy(t.data() + 10 + body + 6, size, 4);
  }
  return t;
}

namespace {

void PutSize(uint8_t* p, uint32_t v, bool syncSafe) {
  for (int i = 0; i < 4; ++i) {
    const int shift = (3 - i) * (syncSafe ? 7 : 8);
    p[i] = static_cast<uint8_t>((v >> shift) & (syncSafe ? 0x7F : 0xFF));
  }
}

}  // namespace

Bytes Id3v2Tag(int major, uint8_t flags, const Bytes& body) {
  Bytes t(10);
  std::memcpy(t.data(), "ID3", 3);
  t[3] = static_cast<uint8_t>(major);
  t[5] = flags;
  PutSize(t.data() + 6, static_cast<uint32_t>(body.size()), true);
  return Join({t, body});
}

Bytes Id3v2Frame(int major, const std::string& id, const Bytes& data, uint8_t flags) {
  Bytes h(major == 2 ? 6 : 10, 0);
  std::memcpy(h.data(), id.data(), std::min<size_t>(id.size(), major == 2 ? 3 : 4));
  const auto n = static_cast<uint32_t>(data.size());
  if (major == 2) {
    h[3] = static_cast<uint8_t>(n >> 16);
    h[4] = static_cast<uint8_t>(n >> 8);
    h[5] = static_cast<uint8_t>(n);
  } else {
    PutSize(h.data() + 4, n, major >= 4);
    h[9] = flags;
  }
  return Join({h, data});
}

Bytes Text(uint8_t encoding, const std::string& bytes) {
  Bytes b(bytes.size() + 1);
  b[0] = encoding;
  if (!bytes.empty()) std::memcpy(b.data() + 1, bytes.data(), bytes.size());
  return b;
}

Bytes Unsynchronise(const Bytes& b) {
  Bytes out;
  for (size_t i = 0; i < b.size(); ++i) {
    out.push_back(b[i]);
    if (b[i] == 0xFF && (i + 1 == b.size() || b[i + 1] == 0 || b[i + 1] >= 0xE0)) out.push_back(0);
  }
  return out;
}

Bytes Ape() {
  Bytes item;
  AppendLE32(item, 5);  // value length
  AppendLE32(item, 0);  // flags
  Append(item, "Title\0Hello", 11);
  auto headerOrFooter = [&](bool header) {
    Bytes h;
    Append(h, "APETAGEX", 8);
    AppendLE32(h, 2000);
    AppendLE32(h, static_cast<uint32_t>(item.size() + 32));
    AppendLE32(h, 1);
    AppendLE32(h, 0x80000000u | (header ? 0x20000000u : 0));
    h.resize(32, 0);
    return h;
  };
  return Join({headerOrFooter(true), item, headerOrFooter(false)});
}

Bytes Riff(const std::string& type, const std::vector<Chunk>& chunks) {
  Bytes body;
  Append(body, type.data(), 4);
  for (const Chunk& c : chunks) {
    Append(body, c.id.data(), 4);
    AppendLE32(body, static_cast<uint32_t>(c.payload.size()));
    Append(body, c.payload.data(), c.payload.size());
    if (c.payload.size() & 1) body.push_back(0);
  }
  Bytes out;
  Append(out, "RIFF", 4);
  AppendLE32(out, static_cast<uint32_t>(body.size()));
  Append(out, body.data(), body.size());
  return out;
}

Bytes WaveFormat(uint16_t tag, uint16_t channels, uint32_t rate, uint32_t byteRate,
                 uint16_t blockAlign, uint16_t bits) {
  Bytes f;
  AppendLE16(f, tag);
  AppendLE16(f, channels);
  AppendLE32(f, rate);
  AppendLE32(f, byteRate);
  AppendLE16(f, blockAlign);
  AppendLE16(f, bits);
  if (tag != 1) AppendLE16(f, 0);
  return f;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

void Append16(Bytes& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v));
}

void Append32(Bytes& out, uint32_t v) {
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void Append64(Bytes& out, uint64_t v) {
  Append32(out, static_cast<uint32_t>(v >> 32));
  Append32(out, static_cast<uint32_t>(v));
}

Bytes Mp4Box(const std::string& type, const Bytes& body) {
  Bytes out;
  Append32(out, static_cast<uint32_t>(body.size() + 8));
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

Bytes Mp4Data(uint32_t typeCode, const Bytes& value) {
  Bytes body;
  Append32(body, typeCode);
  Append32(body, 0);  // locale
  return Mp4Box("data", Join({body, value}));
}

}  // namespace synth
