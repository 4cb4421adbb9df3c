#include "vbmp3/src/ogg/ogg_comment_write.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/ogg/ogg_file.h"
#include "vbmp3/src/ogg/ogg_header_pages.h"
#include "vbmp3/src/ogg/ogg_stream_pages.h"
#include "vbmp3/src/ogg/xiph_comment_edit.h"

namespace vbmp3 {
namespace {

constexpr size_t kOggCopyBlock = 256 * 1024;
constexpr size_t kMaxKeptPadding = 64 * 1024;

bool HasMagic(const std::vector<uint8_t>& packet, bool vorbis) {
  if (vorbis)
    return packet.size() >= 7 && packet[0] == 3 && std::memcmp(&packet[1], "vorbis", 6) == 0;
  return packet.size() >= 8 && std::memcmp(packet.data(), "OpusTags", 8) == 0;
}

// What follows the comments may be dropped or resized: zeros after the
// Vorbis framing bit, Opus data whose first byte's lowest bit is clear.
bool IsPadding(const uint8_t* rest, size_t size, bool vorbis) {
  if (size == 0) return true;
  if (!vorbis) return (rest[0] & 1) == 0;
  return std::all_of(rest, rest + size, [](uint8_t b) { return b == 0; });
}

bool ReadOldBytes(RandomAccessFile& file, uint64_t offset, size_t n, std::vector<uint8_t>& out) {
  out.resize(n);
  size_t got = 0;
  return file.ReadAt(offset, out.data(), n, got) && got == n;
}

int32_t WriteHeaderPagesInPlace(RandomAccessFile& file, uint64_t at,
                                const std::vector<uint8_t>& pages) {
  std::vector<uint8_t> old;
  if (!ReadOldBytes(file, at, pages.size(), old)) return VBMP3_ERR_READ;
  if (file.WriteAt(at, pages.data(), pages.size()) && file.Flush()) return VBMP3_ERR_NONE;
  file.WriteAt(at, old.data(), old.size());
  file.Flush();
  return VBMP3_ERR_WRITE;
}

// The file before the header pages, the new pages, then the stream's
// following pages renumbered, into `to`.
int32_t WriteOggAnew(RandomAccessFile& file, const OggHeaderPages& old,
                     const std::vector<uint8_t>& pages, size_t pageCount, RandomAccessFile& to) {
  std::vector<uint8_t> block;
  for (uint64_t at = 0; at < old.start;) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(kOggCopyBlock, old.start - at));
    if (!ReadOldBytes(file, at, n, block)) return VBMP3_ERR_READ;
    if (!to.WriteAt(at, block.data(), n)) return VBMP3_ERR_WRITE;
    at += n;
    RewriteStep();
  }
  if (!to.WriteAt(old.start, pages.data(), pages.size())) return VBMP3_ERR_WRITE;
  RewriteStep();
  const uint32_t shift = static_cast<uint32_t>(pageCount - old.pageCount);
  return WalkOggStreamPages(file, old.end, old.serial, shift, &to, old.start + pages.size());
}

}  // namespace

bool NewOggCommentPacket(const std::vector<uint8_t>& old, bool vorbis,
                         const FormatTextChanges& changes, std::vector<uint8_t>& out) {
  if (!HasMagic(old, vorbis)) return false;
  const size_t magic = vorbis ? 7 : 8;
  std::vector<uint8_t> structure;
  size_t consumed = 0;
  if (!EditXiphComment(old.data() + magic, old.size() - magic, changes, structure, consumed))
    return false;
  size_t restAt = magic + consumed;
  out.assign(old.begin(), old.begin() + static_cast<std::ptrdiff_t>(magic));
  out.insert(out.end(), structure.begin(), structure.end());
  if (vorbis) {
    const bool framed = restAt < old.size() && (old[restAt] & 1);
    out.push_back(framed ? old[restAt] : 1);
    if (restAt < old.size()) ++restAt;
  }
  const uint8_t* rest = old.data() + restAt;
  const size_t restSize = old.size() - restAt;
  if (!IsPadding(rest, restSize, vorbis)) {
    out.insert(out.end(), rest, rest + restSize);
    return true;
  }
  // A packet that shrank a lot gives its room back rather than carry it.
  const bool keepsLength = out.size() <= old.size() && old.size() - out.size() <= kMaxKeptPadding;
  out.resize(keepsLength ? old.size() : out.size() + kNewCommentPadding, 0);
  return true;
}

int32_t WriteOggTexts(RandomAccessFile& file, const FormatTextChanges& changes,
                      const ReplacementSource& replacement, bool& replaced) {
  replaced = false;
  AudioProperties properties;
  FormatTexts texts;
  if (!ReadOggFile(file, properties, texts)) return VBMP3_ERR_NOT_AUDIO;
  OggHeaderPages old;
  if (const int32_t error = ReadOggHeaderPages(file, old)) return error;
  if (const int32_t error = WalkOggStreamPages(file, old.end, old.serial, 0, nullptr, 0))
    return error;
  if (!changes.Any()) return VBMP3_ERR_NONE;
  std::vector<std::vector<uint8_t>> packets = old.packets;
  if (!NewOggCommentPacket(old.packets[0], old.vorbis, changes, packets[0]))
    return VBMP3_ERR_NOT_AUDIO;
  if (packets[0] == old.packets[0]) return VBMP3_ERR_NONE;
  size_t pageCount = 0;
  const std::vector<uint8_t> pages = LayOggHeaderPages(old, packets, pageCount);
  if (pageCount == old.pageCount && pages.size() == old.end - old.start)
    return WriteHeaderPagesInPlace(file, old.start, pages);
  RandomAccessFile* target = replacement ? replacement() : nullptr;
  if (!target) return VBMP3_ERR_WRITE;
  if (const int32_t error = WriteOggAnew(file, old, pages, pageCount, *target)) return error;
  if (!target->Flush()) return VBMP3_ERR_WRITE;
  replaced = true;
  return VBMP3_ERR_NONE;
}

}  // namespace vbmp3
