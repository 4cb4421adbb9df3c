#include "vbmp3/src/id3v2/id3v2_frames.h"

#include <algorithm>
#include <optional>
#include <string>

#include "vbmp3/src/id3v2/id3v2.h"
#include "vbmp3/src/io/byte_order.h"

namespace vbmp3 {

std::string RemoveUnsynchronisation(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    out += bytes[i];
    if (static_cast<uint8_t>(bytes[i]) == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == 0) ++i;
  }
  return out;
}

bool UnwrapId3v2FrameData(std::string_view& data, int major, const Id3v2FrameFlags& flags,
                          bool tagUnsynchronised, std::string& buffer) {
  if (flags.grouped) {
    if (data.empty()) return false;
    data.remove_prefix(1);
  }
  if (major != 4) return true;
  uint64_t dataLength = UINT64_MAX;
  if (flags.dataLengthIndicator) {
    if (data.size() < 4) return false;
    const auto* d = reinterpret_cast<const uint8_t*>(data.data());
    if (IsSyncSafe28(d)) dataLength = ReadSyncSafe28(d);
    data.remove_prefix(4);
  }
  if (flags.unsynchronised || tagUnsynchronised) {
    buffer = RemoveUnsynchronisation(data);
    data = buffer;
  }
  // The indicator gives the data's length once unsynchronisation is undone:
  // bytes past it are not the frame's.
  if (dataLength < data.size()) data = data.substr(0, static_cast<size_t>(dataLength));
  return true;
}

namespace {

// Where the frames start: after the extended header, when there is one.
// 2.3 counts its size field out of the size, 2.4 counts it in. Null when
// the header is damaged.
std::optional<size_t> FramesStart(const uint8_t* b, size_t size, int major, uint8_t tagFlags) {
  if (major < 3 || !(tagFlags & kId3v2TagExtendedHeader)) return 0;
  if (size < 4) return std::nullopt;
  uint64_t length;
  if (major == 3) {
    length = uint64_t{ReadBE32(b)} + 4;
  } else {
    if (!IsSyncSafe28(b)) return std::nullopt;
    length = ReadSyncSafe28(b);
  }
  if (length < 4 || length > size) return std::nullopt;
  return static_cast<size_t>(length);
}

}  // namespace

int WalkId3v2Frames(const uint8_t* tag, size_t size, const Id3v2FrameVisitor& visit) {
  Id3v2Header header;
  if (size < kId3v2HeaderLength || !ParseId3v2Header(tag, header)) return 0;
  const int major = header.major;
  if (major < 2 || major > 4) return 0;
  if (major == 2 && (header.flags & kId3v22TagCompressed)) return major;

  std::string_view body(
      reinterpret_cast<const char*>(tag) + kId3v2HeaderLength,
      static_cast<size_t>(std::min<uint64_t>(header.bodyLength, size - kId3v2HeaderLength)));
  const bool unsynchronised = (header.flags & kId3v2TagUnsynchronised) != 0;
  std::string whole;
  if (unsynchronised && major < 4) {
    whole = RemoveUnsynchronisation(body);
    body = whole;
  }
  const auto* b = reinterpret_cast<const uint8_t*>(body.data());
  std::optional<size_t> start = FramesStart(b, body.size(), major, header.flags);
  if (!start) return major;
  size_t pos = *start;
  Id3v2FrameHeader frame;
  std::string buffer;
  while (ReadId3v2FrameHeader(b + pos, body.size() - pos, major, frame)) {
    std::string_view data = body.substr(pos + frame.headerLength, frame.dataLength);
    pos += frame.Length();
    if (frame.flags.Unreadable()) continue;
    // Before 2.4 the whole tag's unsynchronisation is undone already.
    if (UnwrapId3v2FrameData(data, major, frame.flags, unsynchronised && major == 4, buffer)) {
      visit(frame.id, data);
    }
  }
  return major;
}

}  // namespace vbmp3
