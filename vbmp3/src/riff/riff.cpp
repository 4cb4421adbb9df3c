#include "vbmp3/src/riff/riff.h"

#include <algorithm>
#include <cstring>

#include "vbmp3/src/io/byte_order.h"

namespace vbmp3 {
namespace {

// Real files have a handful of chunks; a file of millions of empty ones
// must not keep a caller busy.
constexpr int kMaxChunks = 4096;

}  // namespace

bool RiffReader::Open(char formType[4]) {
  const uint8_t* h = bytes_.Get(0, kRiffHeaderLength);
  if (!h || std::memcmp(h, "RIFF", 4) != 0) return false;
  declaredEnd_ = kChunkHeaderLength + uint64_t{ReadLE32(h + 4)};
  std::memcpy(formType, h + 8, 4);
  next_ = kRiffHeaderLength;
  count_ = 0;
  return true;
}

bool RiffReader::Next(RiffChunk& chunk) {
  const uint64_t end = std::min(declaredEnd_, bytes_.FileSize());
  if (count_ >= kMaxChunks || next_ + kChunkHeaderLength > end) return false;
  const uint8_t* h = bytes_.Get(next_, kChunkHeaderLength);
  if (!h) return false;
  std::memcpy(chunk.id, h, 4);
  chunk.offset = next_;
  chunk.size = ReadLE32(h + 4);
  chunk.available = std::min<uint64_t>(chunk.size, bytes_.FileSize() - chunk.Payload());
  next_ = chunk.Payload() + chunk.size + (chunk.size & 1);
  ++count_;
  return true;
}

}  // namespace vbmp3
