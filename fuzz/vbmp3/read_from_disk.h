// The bytes read again as a file on disk is read: nothing held in memory,
// every read a copy, the start and end read ahead as the library reads a
// listed file. What the reader makes of them must not depend on that.
#pragma once
#include <cstdlib>

#include "vbmp3/src/io/file_io.h"
#include "vbmp3/src/tag_format.h"

namespace fuzz {

class DiskLikeFile : public vbmp3::RandomAccessFile {
 public:
  explicit DiskLikeFile(vbmp3::MemoryFile& bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.Size(); }
  bool ReadAt(uint64_t offset, void* buffer, size_t n, size_t& got) override {
    return bytes_.ReadAt(offset, buffer, n, got);
  }
  bool WriteAt(uint64_t offset, const void* buffer, size_t n) override {
    return bytes_.WriteAt(offset, buffer, n);
  }
  bool Resize(uint64_t size) override { return bytes_.Resize(size); }
  bool Flush() override { return true; }

 private:
  vbmp3::MemoryFile& bytes_;
};

inline bool SameTexts(const vbmp3::FormatTexts& a, const vbmp3::FormatTexts& b) {
  return a.title == b.title && a.artist == b.artist && a.album == b.album && a.year == b.year &&
         a.comment == b.comment && a.genre == b.genre && a.track == b.track &&
         a.albumArtist == b.albumArtist && a.disc == b.disc;
}

// Aborts when reading `bytes` as a listed file gives another result than
// `read`, `properties` and `texts`, what reading them in memory gave.
inline void ExpectSameFromDisk(vbmp3::TagFormat format, vbmp3::MemoryFile& bytes, bool read,
                               const vbmp3::AudioProperties& properties,
                               const vbmp3::FormatTexts& texts) {
  DiskLikeFile disk(bytes);
  vbmp3::AudioProperties again;
  vbmp3::FormatTexts againTexts;
  if (vbmp3::ReadTagFormatFile(format, disk, again, againTexts) != read) abort();
  if (!read) return;
  if (again.format != properties.format || again.channels != properties.channels ||
      again.samplingRate != properties.samplingRate ||
      again.bitsPerSample != properties.bitsPerSample || again.seconds != properties.seconds ||
      again.audioBytes != properties.audioBytes || !SameTexts(againTexts, texts))
    abort();
}

}  // namespace fuzz
