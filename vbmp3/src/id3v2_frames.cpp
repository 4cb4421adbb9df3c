#include "vbmp3/src/id3v2_frames.h"

#include <algorithm>
#include <string>

#include "vbmp3/src/id3v2.h"

namespace vbmp3 {
namespace {

constexpr uint8_t kUnsynchronised = 0x80;  // tag header flag, every version
constexpr uint8_t kCompressed22 = 0x40;    // 2.2 only: no scheme was ever defined
constexpr uint8_t kExtendedHeader = 0x40;  // 2.3, 2.4

// Second frame flag byte.
constexpr uint8_t kCompressed23 = 0x80, kEncrypted23 = 0x40, kGrouped23 = 0x20;
constexpr uint8_t kGrouped24 = 0x40, kCompressed24 = 0x08, kEncrypted24 = 0x04,
                  kUnsynchronised24 = 0x02, kDataLength24 = 0x01;

uint32_t BigEndian(const uint8_t* p, int n) {
  uint32_t v = 0;
  for (int i = 0; i < n; ++i) v = v << 8 | p[i];
  return v;
}

bool IsSyncSafe(const uint8_t* p) { return ((p[0] | p[1] | p[2] | p[3]) & 0x80) == 0; }

uint32_t SyncSafe(const uint8_t* p) {
  return uint32_t{p[0]} << 21 | uint32_t{p[1]} << 14 | uint32_t{p[2]} << 7 | p[3];
}

bool IsFrameIdCharacter(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

}  // namespace

std::string RemoveUnsynchronisation(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    out += bytes[i];
    if (static_cast<uint8_t>(bytes[i]) == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == 0) ++i;
  }
  return out;
}

int WalkId3v2Frames(const uint8_t* tag, size_t size, const Id3v2FrameVisitor& visit) {
  Id3v2Header header;
  if (size < kId3v2HeaderLength || !ParseId3v2Header(tag, header)) return 0;
  const int major = header.major;
  if (major < 2 || major > 4) return 0;
  if (major == 2 && (header.flags & kCompressed22)) return major;

  std::string_view body(reinterpret_cast<const char*>(tag) + kId3v2HeaderLength,
                        static_cast<size_t>(std::min<uint64_t>(header.bodyLength, size - kId3v2HeaderLength)));
  const bool unsynchronised = (header.flags & kUnsynchronised) != 0;
  std::string whole;
  if (unsynchronised && major < 4) {
    whole = RemoveUnsynchronisation(body);
    body = whole;
  }
  const auto* b = reinterpret_cast<const uint8_t*>(body.data());
  size_t pos = 0;
  if (major >= 3 && (header.flags & kExtendedHeader)) {
    // 2.3 counts the size field out of the size, 2.4 counts it in.
    if (body.size() < 4) return major;
    uint64_t length;
    if (major == 3) {
      length = uint64_t{BigEndian(b, 4)} + 4;
    } else {
      if (!IsSyncSafe(b)) return major;
      length = SyncSafe(b);
    }
    if (length < 4 || length > body.size()) return major;
    pos = static_cast<size_t>(length);
  }

  const size_t idLength = major == 2 ? 3 : 4;
  const size_t headerLength = major == 2 ? 6 : 10;
  std::string frame;
  while (body.size() - pos >= headerLength) {
    const uint8_t* h = b + pos;
    if (h[0] == 0) break;  // padding
    if (!std::all_of(h, h + idLength, IsFrameIdCharacter)) break;
    uint64_t length;
    uint8_t flags = 0;
    if (major == 2) {
      length = BigEndian(h + 3, 3);
    } else if (major == 3) {
      length = BigEndian(h + 4, 4);
      flags = h[9];
    } else {
      // Some 2.4 writers put plain sizes; a byte with its top bit set says so.
      length = IsSyncSafe(h + 4) ? SyncSafe(h + 4) : BigEndian(h + 4, 4);
      flags = h[9];
    }
    pos += headerLength;
    if (length > body.size() - pos) break;  // runs past the tag: nothing after it makes sense
    std::string_view data = body.substr(pos, static_cast<size_t>(length));
    pos += static_cast<size_t>(length);
    const std::string_view id(reinterpret_cast<const char*>(h), idLength);

    if (major == 3) {
      if (flags & (kCompressed23 | kEncrypted23)) continue;
      if (flags & kGrouped23) {
        if (data.empty()) continue;
        data.remove_prefix(1);
      }
    } else if (major == 4) {
      if (flags & (kCompressed24 | kEncrypted24)) continue;
      if (flags & kGrouped24) {
        if (data.empty()) continue;
        data.remove_prefix(1);
      }
      uint64_t dataLength = UINT64_MAX;
      if (flags & kDataLength24) {
        if (data.size() < 4) continue;
        const auto* d = reinterpret_cast<const uint8_t*>(data.data());
        if (IsSyncSafe(d)) dataLength = SyncSafe(d);
        data.remove_prefix(4);
      }
      if ((flags & kUnsynchronised24) || unsynchronised) {
        frame = RemoveUnsynchronisation(data);
        data = frame;
      }
      // The indicator gives the data's length once unsynchronisation is
      // undone: bytes past it are not the frame's.
      if (dataLength < data.size()) data = data.substr(0, static_cast<size_t>(dataLength));
    }
    visit(id, data);
  }
  return major;
}

}  // namespace vbmp3
