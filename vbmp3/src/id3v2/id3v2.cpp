#include "vbmp3/src/id3v2/id3v2.h"

#include <cstring>

#include "vbmp3/src/io/byte_order.h"

namespace vbmp3 {
namespace {

// Version bytes are never 0xFF and the size is four 7-bit bytes; anything
// else is not a tag, however it starts.
bool SizeOf(const uint8_t* p, uint64_t& body) {
  if (p[3] == 0xFF || p[4] == 0xFF) return false;
  if (!IsSyncSafe28(p + 6)) return false;
  body = ReadSyncSafe28(p + 6);
  return true;
}

}  // namespace

bool ParseId3v2Header(const uint8_t* p, Id3v2Header& header) {
  uint64_t body = 0;
  if (std::memcmp(p, "ID3", 3) != 0 || !SizeOf(p, body)) return false;
  header.major = p[3];
  header.flags = p[5];
  header.bodyLength = body;
  header.footer = p[3] >= 4 && (p[5] & kId3v24TagFooter) != 0;
  return true;
}

uint64_t Id3v2TagLength(const uint8_t* p) {
  Id3v2Header h;
  if (!ParseId3v2Header(p, h)) return 0;
  return kId3v2HeaderLength + h.bodyLength + (h.footer ? kId3v2HeaderLength : 0);
}

uint64_t Id3v2FooterTagLength(const uint8_t* p) {
  uint64_t body = 0;
  if (std::memcmp(p, "3DI", 3) != 0 || !SizeOf(p, body)) return 0;
  return 2 * kId3v2HeaderLength + body;
}

}  // namespace vbmp3
