#include "vbmp3/src/id3v2/id3v2_frame_list.h"

#include <algorithm>

#include "vbmp3/src/id3v2/id3v2.h"
#include "vbmp3/src/id3v2/id3v2_frames.h"
#include "vbmp3/src/io/byte_order.h"

namespace vbmp3 {
namespace {

void PutSyncSafe(std::string& out, uint32_t v) {
  uint8_t bytes[4];
  WriteSyncSafe28(bytes, v);
  out.append(reinterpret_cast<const char*>(bytes), 4);
}

// Where the frames start after an extended header at `b` (2.3 counts its
// size field out of its size, 2.4 in); 0 when it has a CRC or cannot be read.
size_t SkipExtendedHeader(int major, const uint8_t* b, size_t bodyLength) {
  if (bodyLength < 6) return 0;
  uint64_t length;
  bool crc;
  if (major == 3) {
    length = uint64_t{ReadBE32(b)} + 4;
    crc = (b[4] & 0x80) != 0;
  } else {
    if (!IsSyncSafe28(b) || b[4] < 1) return 0;
    length = ReadSyncSafe28(b);
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
  std::string buffer;
  if (!UnwrapId3v2FrameData(data, major, Flags(major), false, buffer)) return {};
  return std::string(data);
}

FrameListOutcome SplitId3v2Frames(const uint8_t* p, size_t available, Id3v2FrameList& out) {
  out = Id3v2FrameList{};
  Id3v2Header header;
  if (available < kId3v2HeaderLength || !ParseId3v2Header(p, header))
    return FrameListOutcome::kNoTag;
  const int major = header.major;
  if (major < 2 || major > 4 || (header.flags & kId3v2TagUnsynchronised) ||
      (major == 2 && (header.flags & kId3v22TagCompressed))) {
    return FrameListOutcome::kNotRewritable;
  }
  out.major = major;
  out.tagLength = kId3v2HeaderLength + header.bodyLength + (header.footer ? kId3v2HeaderLength : 0);
  if (out.tagLength > available) return FrameListOutcome::kNotRewritable;
  const uint8_t* b = p + kId3v2HeaderLength;
  const size_t bodyLength = static_cast<size_t>(header.bodyLength);
  size_t pos = 0;
  if (major >= 3 && (header.flags & kId3v2TagExtendedHeader)) {
    pos = SkipExtendedHeader(major, b, bodyLength);
    if (pos == 0) return FrameListOutcome::kNotRewritable;
  }
  Id3v2FrameHeader frameHeader;
  while (ReadId3v2FrameHeader(b + pos, bodyLength - pos, major, frameHeader)) {
    Id3v2RawFrame frame;
    frame.id = frameHeader.id;
    frame.flags[0] = frameHeader.flagBytes[0];
    frame.flags[1] = frameHeader.flagBytes[1];
    frame.bytes.assign(reinterpret_cast<const char*>(b + pos), frameHeader.Length());
    out.frames.push_back(std::move(frame));
    pos += frameHeader.Length();
  }
  return FrameListOutcome::kSplit;
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
