#include "vbmp3/src/tag_file.h"

#include <algorithm>
#include <cstring>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/io/byte_order.h"
#include "vbmp3/src/id3v2/id3v2.h"
#include "vbmp3/src/riff/riff.h"
#include "vbmp3/src/trailing_tags.h"

namespace vbmp3 {
namespace {

bool IsTagAt(ByteWindow& bytes, uint64_t offset) {
  const uint8_t* p = bytes.Get(offset, 3);
  return p && std::memcmp(p, "TAG", 3) == 0;
}

// Writes `n` bytes at `offset`, having saved what was there to put back.
struct Undo {
  RandomAccessFile& file;
  uint64_t originalSize;
  struct Patch {
    uint64_t offset;
    std::vector<uint8_t> bytes;
  };
  std::vector<Patch> patches;

  bool Write(uint64_t offset, const uint8_t* data, size_t n) {
    Patch patch{offset, {}};
    if (offset < originalSize) {
      const size_t overlap = static_cast<size_t>(std::min<uint64_t>(n, originalSize - offset));
      patch.bytes.resize(overlap);
      size_t got = 0;
      if (!file.ReadAt(offset, patch.bytes.data(), overlap, got) || got != overlap) return false;
    }
    patches.push_back(std::move(patch));
    return file.WriteAt(offset, data, n);
  }

  void Restore() {
    for (auto it = patches.rbegin(); it != patches.rend(); ++it) {
      if (!it->bytes.empty()) file.WriteAt(it->offset, it->bytes.data(), it->bytes.size());
    }
    if (file.Size() != originalSize) file.Resize(originalSize);
    file.Flush();
  }
};

}  // namespace

TagPlace FindTag(ByteWindow& bytes) {
  TagPlace place;
  const uint64_t size = bytes.FileSize();
  RiffReader riff(bytes);
  char form[4];
  if (riff.Open(form)) {
    place.riff = true;
    place.riffSize = static_cast<uint32_t>(riff.DeclaredEnd() - kChunkHeaderLength);
    place.riffEnd = riff.DeclaredEnd() + (riff.DeclaredEnd() & 1);
    RiffChunk chunk;
    while (riff.Next(chunk)) {
      place.chunksEnd = std::max(place.chunksEnd, chunk.Payload() + chunk.size + (chunk.size & 1));
      if (std::memcmp(chunk.id, kTagChunkId, 4) == 0 && chunk.size == kId3v1Length &&
          chunk.available == kId3v1Length && IsTagAt(bytes, chunk.Payload())) {
        place.found = true;
        place.inChunk = true;
        place.offset = chunk.Payload();
        return place;
      }
    }
  }
  if (size >= kId3v1Length + (place.riff ? kRiffHeaderLength : 0) &&
      IsTagAt(bytes, size - kId3v1Length)) {
    place.found = true;
    place.offset = size - kId3v1Length;
  }
  return place;
}

bool ReadTag(ByteWindow& bytes, Id3v1Tag& tag) {
  const TagPlace place = FindTag(bytes);
  if (!place.found) return false;
  const uint8_t* p = bytes.Get(place.offset, kId3v1Length);
  return p && ParseId3v1(p, tag);
}

bool ReadId3v2(ByteWindow& bytes, Id3v2Tag& tag) {
  const uint8_t* p = bytes.Get(0, kId3v2HeaderLength);
  Id3v2Header header;
  if (!p || !ParseId3v2Header(p, header)) return false;
  // A tag that claims more than the file has is read as far as it goes,
  // never into an ID3v1 tag: appending one must not add to the ID3v2 tag.
  const size_t length = static_cast<size_t>(std::min<uint64_t>(
      kId3v2HeaderLength + header.bodyLength, EndBeforeId3v1(bytes, bytes.FileSize())));
  if (length < kId3v2HeaderLength) return false;
  p = bytes.Get(0, length);
  return p && ParseId3v2Tag(p, length, tag);
}

int32_t WriteTag(RandomAccessFile& file, const Id3v1Tag& tag) {
  ByteWindow bytes(file, 4096, 4096);
  const TagPlace place = FindTag(bytes);
  if (bytes.Failed()) return VBMP3_ERR_READ;
  Id3v1Tag fresh = tag;
  if (place.found) {
    Id3v1Tag old;
    const uint8_t* p = bytes.Get(place.offset, kId3v1Length);
    if (!p) return VBMP3_ERR_READ;
    if (ParseId3v1(p, old) && old.track) fresh.track = old.track;
  }
  uint8_t chunk[kChunkHeaderLength + kId3v1Length];
  std::memcpy(chunk, kTagChunkId, 4);
  WriteLE32(chunk + 4, kId3v1Length);
  uint8_t* out = chunk + kChunkHeaderLength;
  BuildId3v1(fresh, out);

  const uint64_t size = bytes.FileSize();
  Undo undo{file, size, {}};
  bool ok;
  if (!place.riff || place.inChunk) {
    ok = undo.Write(place.found ? place.offset : size, out, kId3v1Length);
  } else {
    // A new chunk at the end of the form, over a raw tag an older tool left
    // after it if there is one.
    uint64_t at;
    if (place.riffEnd == size || place.riffEnd == size + 1) {
      at = place.riffEnd;
    } else if (place.found && place.offset == place.riffEnd &&
               place.riffEnd + kId3v1Length == size) {
      at = place.riffEnd;
    } else {
      // The form does not end where the file does (cut short, or unknown
      // bytes after it): a chunk can't be added without guessing.
      return VBMP3_ERR_WRITE;
    }
    // A chunk whose size runs past that point (data cut short) would take
    // the new chunk into itself: the audio would change, not only the tag.
    if (place.chunksEnd > at) return VBMP3_ERR_WRITE;
    const uint64_t newSize = at + sizeof chunk - kChunkHeaderLength;
    if (newSize > UINT32_MAX) return VBMP3_ERR_WRITE;
    uint8_t sizeField[4];
    WriteLE32(sizeField, static_cast<uint32_t>(newSize));
    const uint8_t pad = 0;
    ok = (at == size + 1 ? undo.Write(size, &pad, 1) : true) &&
         undo.Write(at, chunk, sizeof chunk) && file.Flush() && undo.Write(4, sizeField, 4);
  }
  if (!ok || !file.Flush()) {
    undo.Restore();
    return VBMP3_ERR_WRITE;
  }
  return VBMP3_ERR_NONE;
}

}  // namespace vbmp3
