#include "vbmp3/src/flac/flac_metadata.h"

#include <cstring>

#include "vbmp3/src/id3v2/id3v2.h"

namespace vbmp3 {
namespace {

// Real files carry one or two tags in front and a handful of blocks; far
// more is a crafted file that would only cost a seek each.
constexpr int kMaxLeadingTags = 64;
constexpr size_t kMaxBlocks = 4096;

bool ReadExactly(RandomAccessFile& file, uint64_t offset, void* buffer, size_t n) {
  size_t got = 0;
  return file.ReadAt(offset, buffer, n, got) && got == n;
}

// Where "fLaC" is, after any ID3v2 tags; false when it is not there.
bool FindMarker(RandomAccessFile& file, uint64_t& marker) {
  const uint64_t size = file.Size();
  uint64_t at = 0;
  for (int tags = 0; tags <= kMaxLeadingTags; ++tags) {
    uint8_t head[kId3v2HeaderLength] = {};
    size_t got = 0;
    if (!file.ReadAt(at, head, sizeof(head), got) || got < 4) return false;
    if (std::memcmp(head, "fLaC", 4) == 0) {
      marker = at;
      return true;
    }
    const uint64_t span = got == sizeof(head) ? Id3v2TagLength(head) : 0;
    if (span == 0 || span > size - at) return false;
    at += span;
  }
  return false;
}

}  // namespace

FlacBlockHeader ParseFlacBlockHeader(const uint8_t h[kFlacBlockHeaderSize]) {
  FlacBlockHeader out;
  out.last = (h[0] & 0x80) != 0;
  out.type = h[0] & 0x7F;
  out.length = (uint32_t{h[1]} << 16) | (uint32_t{h[2]} << 8) | h[3];
  return out;
}

bool ReadFlacMetadata(RandomAccessFile& file, FlacMetadata& out) {
  out = {};
  if (!FindMarker(file, out.markerOffset)) return false;
  const uint64_t size = file.Size();
  uint64_t at = out.markerOffset + 4;
  for (;;) {
    uint8_t raw[kFlacBlockHeaderSize];
    if (out.blocks.size() >= kMaxBlocks || !ReadExactly(file, at, raw, sizeof(raw))) return false;
    const FlacBlockHeader header = ParseFlacBlockHeader(raw);
    at += kFlacBlockHeaderSize;
    if (header.type == kFlacInvalidType || header.length > size - at) return false;
    out.blocks.push_back({header.type, at, header.length});
    at += header.length;
    if (header.last) break;
  }
  out.firstFrameOffset = at;
  return true;
}

bool ReadFlacBlockBody(RandomAccessFile& file, const FlacBlock& block, std::vector<uint8_t>& body) {
  if (block.length > file.Size() || block.bodyOffset > file.Size() - block.length) return false;
  body.resize(block.length);
  return block.length == 0 || ReadExactly(file, block.bodyOffset, body.data(), body.size());
}

}  // namespace vbmp3
