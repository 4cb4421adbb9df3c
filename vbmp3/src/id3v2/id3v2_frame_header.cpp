#include "vbmp3/src/id3v2/id3v2_frame_header.h"

#include <algorithm>

#include "vbmp3/src/io/byte_order.h"

namespace vbmp3 {
namespace {

bool IsIdCharacter(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

uint64_t DataLengthOf(const uint8_t* h, int major) {
  if (major == 2) return ReadBE24(h + 3);
  if (major == 3) return ReadBE32(h + 4);
  return IsSyncSafe28(h + 4) ? ReadSyncSafe28(h + 4) : ReadBE32(h + 4);
}

}  // namespace

Id3v2FrameFlags DecodeId3v2FrameFlags(int major, uint8_t status, uint8_t format) {
  Id3v2FrameFlags f;
  if (major == 3) {
    f.tagAlterPreservation = (status & kId3v23TagAlterPreservation) != 0;
    f.fileAlterPreservation = (status & kId3v23FileAlterPreservation) != 0;
    f.readOnly = (status & kId3v23ReadOnly) != 0;
    f.compressed = (format & kId3v23Compressed) != 0;
    f.encrypted = (format & kId3v23Encrypted) != 0;
    f.grouped = (format & kId3v23Grouped) != 0;
  } else if (major == 4) {
    f.tagAlterPreservation = (status & kId3v24TagAlterPreservation) != 0;
    f.fileAlterPreservation = (status & kId3v24FileAlterPreservation) != 0;
    f.readOnly = (status & kId3v24ReadOnly) != 0;
    f.grouped = (format & kId3v24Grouped) != 0;
    f.compressed = (format & kId3v24Compressed) != 0;
    f.encrypted = (format & kId3v24Encrypted) != 0;
    f.unsynchronised = (format & kId3v24Unsynchronised) != 0;
    f.dataLengthIndicator = (format & kId3v24DataLengthIndicator) != 0;
  }
  return f;
}

bool ReadId3v2FrameHeader(const uint8_t* p, size_t available, int major, Id3v2FrameHeader& out) {
  const size_t idLength = major == 2 ? 3 : 4;
  const size_t headerLength = major == 2 ? 6 : 10;
  if (available < headerLength || !std::all_of(p, p + idLength, IsIdCharacter)) return false;
  const uint64_t dataLength = DataLengthOf(p, major);
  if (dataLength > available - headerLength) return false;
  out = Id3v2FrameHeader{};
  out.id = std::string_view(reinterpret_cast<const char*>(p), idLength);
  out.headerLength = headerLength;
  out.dataLength = static_cast<size_t>(dataLength);
  if (major > 2) {
    out.flagBytes[0] = p[8];
    out.flagBytes[1] = p[9];
  }
  out.flags = DecodeId3v2FrameFlags(major, out.flagBytes[0], out.flagBytes[1]);
  return true;
}

std::string MakeId3v2FrameHeader(int major, std::string_view id, size_t dataLength) {
  uint8_t size[4];
  if (major == 4) {
    WriteSyncSafe28(size, static_cast<uint32_t>(dataLength));
  } else {
    WriteBE32(size, static_cast<uint32_t>(dataLength));
  }
  std::string h(id);
  h.append(reinterpret_cast<const char*>(size), 4);
  h += std::string(2, '\0');
  return h;
}

}  // namespace vbmp3
