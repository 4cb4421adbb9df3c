#include "vbmp3/src/mpeg/vbr_header.h"

#include <cstring>

#include "vbmp3/src/io/byte_order.h"

namespace vbmp3 {
namespace {

bool ParseXing(const uint8_t* frame, size_t length, size_t at, VbrHeader& out) {
  if (at + 8 > length) return false;
  const uint8_t* p = frame + at;
  const bool xing = std::memcmp(p, "Xing", 4) == 0;
  if (!xing && std::memcmp(p, "Info", 4) != 0) return false;
  const uint32_t flags = ReadBE32(p + 4);
  VbrHeader v;
  v.kind = xing ? VbrHeader::Xing : VbrHeader::Info;
  size_t field = at + 8;
  if (flags & 1) {
    if (field + 4 > length) return false;
    v.hasFrames = true;
    v.frames = ReadBE32(frame + field);
    field += 4;
  }
  if (flags & 2) {
    if (field + 4 > length) return false;
    v.hasBytes = true;
    v.bytes = ReadBE32(frame + field);
  }
  out = v;
  return true;
}

}  // namespace

bool ParseVbrHeader(const uint8_t* frame, size_t length, const FrameHeader& h, VbrHeader& out) {
  if (h.layer != 3) return false;
  const size_t at = 4 + static_cast<size_t>(h.sideInfoLength);
  if (ParseXing(frame, length, at + (h.crc ? 2 : 0), out)) return true;
  // LAME writes its Info frame of a CRC-protected stream without room for
  // the CRC, two bytes before where the header says it should be.
  if (h.crc && ParseXing(frame, length, at, out)) return true;
  constexpr size_t kVbriAt = 4 + 32;
  if (kVbriAt + 18 <= length && std::memcmp(frame + kVbriAt, "VBRI", 4) == 0) {
    const uint8_t* p = frame + kVbriAt;
    VbrHeader v;
    v.kind = VbrHeader::Vbri;
    v.hasBytes = v.hasFrames = true;
    v.bytes = ReadBE32(p + 10);
    v.frames = ReadBE32(p + 14);
    out = v;
    return true;
  }
  return false;
}

}  // namespace vbmp3
