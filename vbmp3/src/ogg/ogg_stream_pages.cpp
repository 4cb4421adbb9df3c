#include "vbmp3/src/ogg/ogg_stream_pages.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/io/byte_order.h"
#include "vbmp3/src/ogg/ogg_page.h"
#include "vbmp3/src/tag_texts_write.h"

namespace vbmp3 {
namespace {

constexpr size_t kWrittenBlock = 256 * 1024;

bool ReadPieceBytes(RandomAccessFile& file, uint64_t offset, size_t n, std::vector<uint8_t>& out) {
  out.resize(n);
  size_t got = 0;
  return file.ReadAt(offset, out.data(), n, got) && got == n;
}

// The page at offset when it is whole and its CRC matches; false else.
bool ReadGoodPage(RandomAccessFile& file, uint64_t offset, std::vector<uint8_t>& bytes,
                  OggPage& page) {
  uint8_t head[kOggPageHeaderSize + 255];
  size_t got = 0;
  if (!file.ReadAt(offset, head, sizeof head, got) || got < kOggPageHeaderSize) return false;
  if (std::memcmp(head, "OggS", 4) != 0 || head[4] != 0) return false;
  if (got < kOggPageHeaderSize + size_t{head[26]}) return false;
  size_t size = kOggPageHeaderSize + head[26];
  for (size_t i = 0; i < head[26]; ++i) size += head[kOggPageHeaderSize + i];
  if (file.Size() - offset < size || !ReadPieceBytes(file, offset, size, bytes)) return false;
  size_t parsed = 0;
  return ParseOggPage(bytes.data(), bytes.size(), page, parsed) == OggPageStatus::Ok;
}

// The bytes from offset to the next good page, at most a block of them.
bool ReadUntilPage(RandomAccessFile& file, uint64_t offset, std::vector<uint8_t>& bytes) {
  uint64_t next = file.Size();
  if (!FindNextOggPage(file, offset + 1, next)) next = file.Size();
  const size_t n = static_cast<size_t>(std::min<uint64_t>(next - offset, kWrittenBlock));
  return ReadPieceBytes(file, offset, n, bytes);
}

void Renumber(std::vector<uint8_t>& page, uint32_t shift) {
  WriteLE32(page.data() + 18, ReadLE32(page.data() + 18) + shift);
  std::memset(page.data() + 22, 0, 4);
  WriteLE32(page.data() + 22, OggCrc(page.data(), page.size()));
}

class BlockWriter {
 public:
  BlockWriter(RandomAccessFile* to, uint64_t at) : to_(to), at_(at) {}
  bool Add(const std::vector<uint8_t>& bytes) {
    if (!to_) return true;
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    return pending_.size() < kWrittenBlock || Drain();
  }
  bool Drain() {
    if (!to_ || pending_.empty()) return true;
    if (!to_->WriteAt(at_, pending_.data(), pending_.size())) return false;
    at_ += pending_.size();
    pending_.clear();
    RewriteStep();
    return true;
  }

 private:
  RandomAccessFile* to_;
  uint64_t at_;
  std::vector<uint8_t> pending_;
};

}  // namespace

int32_t WalkOggStreamPages(RandomAccessFile& file, uint64_t from, uint32_t serial,
                           uint32_t sequenceShift, RandomAccessFile* to, uint64_t toAt) {
  BlockWriter writer(to, toAt);
  std::vector<uint8_t> bytes;
  for (uint64_t offset = from; offset < file.Size(); offset += bytes.size()) {
    OggPage page;
    if (ReadGoodPage(file, offset, bytes, page)) {
      if (page.serial != serial || (page.flags & kOggFirstPage)) return VBMP3_ERR_OGG_STREAMS;
      if (to && sequenceShift != 0) Renumber(bytes, sequenceShift);
    } else if (!ReadUntilPage(file, offset, bytes)) {
      return VBMP3_ERR_READ;
    }
    if (!writer.Add(bytes)) return VBMP3_ERR_WRITE;
  }
  return writer.Drain() ? VBMP3_ERR_NONE : VBMP3_ERR_WRITE;
}

}  // namespace vbmp3
