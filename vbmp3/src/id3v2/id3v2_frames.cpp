#include "vbmp3/src/id3v2/id3v2_frames.h"

#include <algorithm>
#include <optional>
#include <string>

#include "vbmp3/src/id3v2/id3v2.h"

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

namespace {

// Where the frames start: after the extended header, when there is one.
// 2.3 counts its size field out of the size, 2.4 counts it in. Null when
// the header is damaged.
std::optional<size_t> FramesStart(const uint8_t* b, size_t size, int major, uint8_t tagFlags) {
  if (major < 3 || !(tagFlags & kExtendedHeader)) return 0;
  if (size < 4) return std::nullopt;
  uint64_t length;
  if (major == 3) {
    length = uint64_t{BigEndian(b, 4)} + 4;
  } else {
    if (!IsSyncSafe(b)) return std::nullopt;
    length = SyncSafe(b);
  }
  if (length < 4 || length > size) return std::nullopt;
  return static_cast<size_t>(length);
}

// A frame's data length and flags from its header.
uint64_t FrameLength(const uint8_t* h, int major, uint8_t& flags) {
  flags = 0;
  if (major == 2) return BigEndian(h + 3, 3);
  flags = h[9];
  if (major == 3) return BigEndian(h + 4, 4);
  // Some 2.4 writers put plain sizes; a byte with its top bit set says so.
  return IsSyncSafe(h + 4) ? SyncSafe(h + 4) : BigEndian(h + 4, 4);
}

// The frame's content with its grouping byte, data length indicator and
// unsynchronisation undone; false for a frame that cannot be read
// (compressed, encrypted, or too short for what its flags say).
bool UnwrapFrameData(std::string_view& data, int major, uint8_t flags, bool tagUnsynchronised,
                     std::string& buffer) {
  if (major == 3) {
    if (flags & (kCompressed23 | kEncrypted23)) return false;
    if (flags & kGrouped23) {
      if (data.empty()) return false;
      data.remove_prefix(1);
    }
    return true;
  }
  if (major != 4) return true;
  if (flags & (kCompressed24 | kEncrypted24)) return false;
  if (flags & kGrouped24) {
    if (data.empty()) return false;
    data.remove_prefix(1);
  }
  uint64_t dataLength = UINT64_MAX;
  if (flags & kDataLength24) {
    if (data.size() < 4) return false;
    const auto* d = reinterpret_cast<const uint8_t*>(data.data());
    if (IsSyncSafe(d)) dataLength = SyncSafe(d);
    data.remove_prefix(4);
  }
  if ((flags & kUnsynchronised24) || tagUnsynchronised) {
    buffer = RemoveUnsynchronisation(data);
    data = buffer;
  }
  // The indicator gives the data's length once unsynchronisation is undone:
  // bytes past it are not the frame's.
  if (dataLength < data.size()) data = data.substr(0, static_cast<size_t>(dataLength));
  return true;
}

}  // namespace

int WalkId3v2Frames(const uint8_t* tag, size_t size, const Id3v2FrameVisitor& visit) {
  Id3v2Header header;
  if (size < kId3v2HeaderLength || !ParseId3v2Header(tag, header)) return 0;
  const int major = header.major;
  if (major < 2 || major > 4) return 0;
  if (major == 2 && (header.flags & kCompressed22)) return major;

  std::string_view body(
      reinterpret_cast<const char*>(tag) + kId3v2HeaderLength,
      static_cast<size_t>(std::min<uint64_t>(header.bodyLength, size - kId3v2HeaderLength)));
  const bool unsynchronised = (header.flags & kUnsynchronised) != 0;
  std::string whole;
  if (unsynchronised && major < 4) {
    whole = RemoveUnsynchronisation(body);
    body = whole;
  }
  const auto* b = reinterpret_cast<const uint8_t*>(body.data());
  std::optional<size_t> start = FramesStart(b, body.size(), major, header.flags);
  if (!start) return major;
  size_t pos = *start;

  const size_t idLength = major == 2 ? 3 : 4;
  const size_t headerLength = major == 2 ? 6 : 10;
  std::string frame;
  while (body.size() - pos >= headerLength) {
    const uint8_t* h = b + pos;
    if (h[0] == 0) break;  // padding
    if (!std::all_of(h, h + idLength, IsFrameIdCharacter)) break;
    uint8_t flags = 0;
    const uint64_t length = FrameLength(h, major, flags);
    pos += headerLength;
    if (length > body.size() - pos) break;  // runs past the tag: nothing after it makes sense
    std::string_view data = body.substr(pos, static_cast<size_t>(length));
    pos += static_cast<size_t>(length);
    const std::string_view id(reinterpret_cast<const char*>(h), idLength);
    if (UnwrapFrameData(data, major, flags, unsynchronised, frame)) visit(id, data);
  }
  return major;
}

}  // namespace vbmp3
