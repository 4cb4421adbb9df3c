// The bytes read again as a file on disk is read: nothing held in memory,
// every read a copy, the start and end read ahead as the library reads a
// listed file. What the reader makes of them must not depend on that.
#pragma once
#include <cstdlib>

#include "vbmp3/src/io/file_io.h"
#include "vbmp3/src/tag_format.h"

namespace fuzz {

class DiskLikeFile : public vbmp3::MemoryFile {
 public:
  using MemoryFile::MemoryFile;
  const uint8_t* View(uint64_t, size_t) const override { return nullptr; }
};

inline bool SameTexts(const vbmp3::FormatTexts& a, const vbmp3::FormatTexts& b) {
  return a.title == b.title && a.artist == b.artist && a.album == b.album && a.year == b.year &&
         a.comment == b.comment && a.genre == b.genre && a.track == b.track &&
         a.albumArtist == b.albumArtist && a.disc == b.disc;
}

// Aborts when reading the bytes as a listed file gives another result than
// `read`, `properties` and `texts`, what reading them in memory gave.
inline void ExpectSameFromDisk(vbmp3::TagFormat format, const uint8_t* data, size_t size, bool read,
                               const vbmp3::AudioProperties& properties,
                               const vbmp3::FormatTexts& texts) {
  DiskLikeFile disk(data, size);
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
