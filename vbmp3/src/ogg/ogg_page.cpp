#include "vbmp3/src/ogg/ogg_page.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "vbmp3/src/io/byte_order.h"

namespace vbmp3 {
namespace {

// Eight tables, so that the CRC takes eight bytes a step: a comment or
// setup header of several kilobytes is checked on every file listed.
using CrcTables = std::array<std::array<uint32_t, 256>, 8>;

CrcTables MakeCrcTables() {
  CrcTables tables{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t r = i << 24;
    for (int bit = 0; bit < 8; ++bit) r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
    tables[0][i] = r;
  }
  for (size_t k = 1; k < tables.size(); ++k) {
    for (uint32_t i = 0; i < 256; ++i) {
      const uint32_t previous = tables[k - 1][i];
      tables[k][i] = (previous << 8) ^ tables[0][previous >> 24];
    }
  }
  return tables;
}

uint64_t ReadLE64(const uint8_t* p) {
  return uint64_t{ReadLE32(p)} | (uint64_t{ReadLE32(p + 4)} << 32);
}

void WriteLE64(uint8_t* p, uint64_t v) {
  WriteLE32(p, static_cast<uint32_t>(v));
  WriteLE32(p + 4, static_cast<uint32_t>(v >> 32));
}

bool StartsPage(const uint8_t* data, size_t size) {
  return size >= 5 && std::memcmp(data, "OggS", 4) == 0 && data[4] == 0;
}

// The page's CRC with its own CRC field counted as zeros.
uint32_t PageCrc(const uint8_t* data, size_t size) {
  static const uint8_t zeros[4] = {};
  uint32_t crc = OggCrc(data, 22);
  crc = OggCrc(zeros, 4, crc);
  return OggCrc(data + 26, size - 26, crc);
}

}  // namespace

uint32_t OggCrc(const uint8_t* data, size_t size, uint32_t crc) {
  static const CrcTables t = MakeCrcTables();
  size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    const uint8_t* b = data + i;
    crc ^= ReadBE32(b);
    crc = t[7][crc >> 24] ^ t[6][(crc >> 16) & 0xFF] ^ t[5][(crc >> 8) & 0xFF] ^ t[4][crc & 0xFF] ^
          t[3][b[4]] ^ t[2][b[5]] ^ t[1][b[6]] ^ t[0][b[7]];
  }
  for (; i < size; ++i) crc = (crc << 8) ^ t[0][((crc >> 24) ^ data[i]) & 0xFF];
  return crc;
}

OggPageStatus ParseOggPage(const uint8_t* data, size_t size, OggPage& page, size_t& size_out) {
  size_out = 0;
  if (!StartsPage(data, size)) return OggPageStatus::NotAPage;
  if (size < kOggPageHeaderSize) return OggPageStatus::Truncated;
  const size_t segments = data[26];
  if (size < kOggPageHeaderSize + segments) return OggPageStatus::Truncated;
  size_t bodySize = 0;
  for (size_t i = 0; i < segments; ++i) bodySize += data[kOggPageHeaderSize + i];
  size_out = kOggPageHeaderSize + segments + bodySize;
  if (size < size_out) return OggPageStatus::Truncated;
  if (PageCrc(data, size_out) != ReadLE32(data + 22)) return OggPageStatus::BadCrc;
  page.flags = data[5];
  page.granule = ReadLE64(data + 6);
  page.serial = ReadLE32(data + 14);
  page.sequence = ReadLE32(data + 18);
  const uint8_t* table = data + kOggPageHeaderSize;
  page.lacing.assign(table, table + segments);
  page.body.assign(table + segments, data + size_out);
  return OggPageStatus::Ok;
}

std::vector<uint8_t> SerializeOggPage(const OggPage& page) {
  std::vector<uint8_t> out(kOggPageHeaderSize + page.lacing.size() + page.body.size());
  std::memcpy(out.data(), "OggS", 4);
  out[5] = page.flags;
  WriteLE64(out.data() + 6, page.granule);
  WriteLE32(out.data() + 14, page.serial);
  WriteLE32(out.data() + 18, page.sequence);
  out[26] = static_cast<uint8_t>(page.lacing.size());
  std::copy(page.lacing.begin(), page.lacing.end(), out.begin() + kOggPageHeaderSize);
  std::copy(page.body.begin(), page.body.end(),
            out.begin() + static_cast<std::ptrdiff_t>(kOggPageHeaderSize + page.lacing.size()));
  WriteLE32(out.data() + 22, PageCrc(out.data(), out.size()));
  return out;
}

OggPageStatus ReadOggPageAt(RandomAccessFile& file, uint64_t offset, OggPage& page,
                            size_t& size_out) {
  size_out = 0;
  // A page of bytes the file holds in memory is parsed where it is.
  const uint64_t size = file.Size();
  if (offset < size) {
    const size_t rest = static_cast<size_t>(std::min<uint64_t>(size - offset, kOggMaxPageSize));
    if (const uint8_t* held = file.View(offset, rest))
      return ParseOggPage(held, rest, page, size_out);
  }
  uint8_t head[kOggPageHeaderSize + 255];
  size_t got = 0;
  if (!file.ReadAt(offset, head, sizeof head, got)) return OggPageStatus::Truncated;
  OggPageStatus status = ParseOggPage(head, got, page, size_out);
  if (status != OggPageStatus::Truncated || size_out == 0 || size_out <= got) return status;
  std::unique_ptr<uint8_t[]> whole(new uint8_t[size_out]);
  if (!file.ReadAt(offset, whole.get(), size_out, got)) return OggPageStatus::Truncated;
  return ParseOggPage(whole.get(), got, page, size_out);
}

bool FindNextOggPage(RandomAccessFile& file, uint64_t offset, uint64_t& found) {
  constexpr size_t kBlock = 4096;
  uint8_t block[kBlock];
  const uint64_t end = file.Size();
  while (offset < end) {
    size_t got = 0;
    if (!file.ReadAt(offset, block, kBlock, got) || got < 4) return false;
    for (size_t i = 0; i + 4 <= got; ++i) {
      if (std::memcmp(block + i, "OggS", 4) != 0) continue;
      OggPage page;
      size_t pageSize = 0;
      if (ReadOggPageAt(file, offset + i, page, pageSize) == OggPageStatus::Ok) {
        found = offset + i;
        return true;
      }
    }
    offset += got - 3;  // a pattern split across blocks is found in the next
  }
  return false;
}

}  // namespace vbmp3
