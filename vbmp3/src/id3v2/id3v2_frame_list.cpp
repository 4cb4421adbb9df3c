#include "vbmp3/src/id3v2/id3v2_frame_list.h"

#include <algorithm>

#include "vbmp3/src/id3v2/id3v2.h"
#include "vbmp3/src/id3v2/id3v2_frames.h"

namespace vbmp3 {
namespace {

constexpr uint8_t kTagUnsynchronised = 0x80;
constexpr uint8_t kTagCompressed22 = 0x40;
constexpr uint8_t kTagExtendedHeader = 0x40;

uint32_t SizeBigEndian(const uint8_t* p, int n) {
  uint32_t v = 0;
  for (int i = 0; i < n; ++i) v = v << 8 | p[i];
  return v;
}

bool IsSyncSafeSize(const uint8_t* p) { return ((p[0] | p[1] | p[2] | p[3]) & 0x80) == 0; }

uint32_t SyncSafeSize(const uint8_t* p) {
  return uint32_t{p[0]} << 21 | uint32_t{p[1]} << 14 | uint32_t{p[2]} << 7 | p[3];
}

void PutSyncSafe(std::string& out, uint32_t v) {
  for (int shift = 21; shift >= 0; shift -= 7) out += static_cast<char>((v >> shift) & 0x7F);
}

void PutBigEndian(std::string& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

bool IsIdCharacter(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// Where the frames start after an extended header at `b` (2.3 counts its
// size field out of its size, 2.4 in); 0 when it has a CRC or cannot be read.
size_t SkipExtendedHeader(int major, const uint8_t* b, size_t bodyLength) {
  if (bodyLength < 6) return 0;
  uint64_t length;
  bool crc;
  if (major == 3) {
    length = uint64_t{SizeBigEndian(b, 4)} + 4;
    crc = (b[4] & 0x80) != 0;
  } else {
    if (!IsSyncSafeSize(b) || b[4] < 1) return 0;
    length = SyncSafeSize(b);
    crc = (b[5] & 0x20) != 0;
  }
  if (crc || length < 6 || length > bodyLength) return 0;
  return static_cast<size_t>(length);
}

}  // namespace

std::string_view Id3v2RawFrame::Data() const {
  return std::string_view(bytes).substr(
      std::min(bytes.size(), id.size() == 3 ? size_t{6} : size_t{10}));
}

std::string Id3v2RawFrame::Content(int major) const {
  std::string_view data = Data();
  const uint8_t f = flags[1];
  const bool grouped = major == 3 ? (f & 0x20) != 0 : major == 4 && (f & 0x40) != 0;
  if (grouped) {
    if (data.empty()) return {};
    data.remove_prefix(1);
  }
  if (major != 4) return std::string(data);
  uint64_t dataLength = UINT64_MAX;
  if (f & 0x01) {
    if (data.size() < 4) return {};
    const auto* d = reinterpret_cast<const uint8_t*>(data.data());
    if (IsSyncSafeSize(d)) dataLength = SyncSafeSize(d);
    data.remove_prefix(4);
  }
  std::string content = (f & 0x02) ? RemoveUnsynchronisation(data) : std::string(data);
  if (dataLength < content.size()) content.resize(static_cast<size_t>(dataLength));
  return content;
}

FrameListOutcome SplitId3v2Frames(const uint8_t* p, size_t available, Id3v2FrameList& out) {
  out = Id3v2FrameList{};
  Id3v2Header header;
  if (available < kId3v2HeaderLength || !ParseId3v2Header(p, header))
    return FrameListOutcome::kNoTag;
  const int major = header.major;
  if (major < 2 || major > 4 || (header.flags & kTagUnsynchronised) ||
      (major == 2 && (header.flags & kTagCompressed22))) {
    return FrameListOutcome::kNotRewritable;
  }
  out.major = major;
  out.tagLength = kId3v2HeaderLength + header.bodyLength + (header.footer ? kId3v2HeaderLength : 0);
  if (out.tagLength > available) return FrameListOutcome::kNotRewritable;
  const uint8_t* b = p + kId3v2HeaderLength;
  const size_t bodyLength = static_cast<size_t>(header.bodyLength);
  size_t pos = 0;
  if (major >= 3 && (header.flags & kTagExtendedHeader)) {
    pos = SkipExtendedHeader(major, b, bodyLength);
    if (pos == 0) return FrameListOutcome::kNotRewritable;
  }
  const size_t idLength = major == 2 ? 3 : 4;
  const size_t headerLength = major == 2 ? 6 : 10;
  while (bodyLength - pos >= headerLength) {
    const uint8_t* h = b + pos;
    if (!std::all_of(h, h + idLength, IsIdCharacter)) break;
    uint64_t length;
    if (major == 2) {
      length = SizeBigEndian(h + 3, 3);
    } else if (major == 3) {
      length = SizeBigEndian(h + 4, 4);
    } else {
      length = IsSyncSafeSize(h + 4) ? SyncSafeSize(h + 4) : SizeBigEndian(h + 4, 4);
    }
    if (length > bodyLength - pos - headerLength) break;
    Id3v2RawFrame frame;
    frame.id.assign(reinterpret_cast<const char*>(h), idLength);
    if (major > 2) {
      frame.flags[0] = h[8];
      frame.flags[1] = h[9];
    }
    frame.bytes.assign(reinterpret_cast<const char*>(h),
                       headerLength + static_cast<size_t>(length));
    out.frames.push_back(std::move(frame));
    pos += headerLength + static_cast<size_t>(length);
  }
  return FrameListOutcome::kSplit;
}

std::string Id3v2FrameHeader(int major, std::string_view id, size_t dataLength) {
  std::string h(id);
  if (major == 4) {
    PutSyncSafe(h, static_cast<uint32_t>(dataLength));
  } else {
    PutBigEndian(h, static_cast<uint32_t>(dataLength));
  }
  h += std::string(2, '\0');
  return h;
}

std::string JoinId3v2Frames(int major, const std::vector<Id3v2RawFrame>& frames, size_t padding) {
  uint64_t body = padding;
  for (const Id3v2RawFrame& f : frames) body += f.bytes.size();
  if (body > kMaxId3v2Body) return {};
  std::string tag = "ID3";
  tag += static_cast<char>(major);
  tag += std::string(2, '\0');
  PutSyncSafe(tag, static_cast<uint32_t>(body));
  tag.reserve(kId3v2HeaderLength + static_cast<size_t>(body));
  for (const Id3v2RawFrame& f : frames) tag += f.bytes;
  tag.append(padding, '\0');
  return tag;
}

}  // namespace vbmp3
