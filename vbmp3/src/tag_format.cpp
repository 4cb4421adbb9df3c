#include "vbmp3/src/tag_format.h"

#include <algorithm>
#include <cstring>

#include "vbmp3/src/flac/flac_file.h"
#include "vbmp3/src/io/preloaded_region.h"
#include "vbmp3/src/mp4/mp4_file.h"
#include "vbmp3/src/ogg/ogg_file.h"

namespace vbmp3 {
namespace {

bool StartsWith(const uint8_t* bytes, const char* magic) {
  return bytes && std::memcmp(bytes, magic, std::strlen(magic)) == 0;
}

// Where the bytes after the ID3v2 tags at `offset` begin.
uint64_t AfterId3v2Tags(ByteWindow& bytes) {
  uint64_t offset = 0;
  for (int tags = 0; tags < 8; ++tags) {
    const uint8_t* h = bytes.Get(offset, 10);
    if (!StartsWith(h, "ID3") || h[3] == 0xFF || h[4] == 0xFF) break;
    if ((h[6] | h[7] | h[8] | h[9]) & 0x80) break;
    const uint64_t size = (uint64_t{h[6]} << 21) | (uint64_t{h[7]} << 14) | (h[8] << 7) | h[9];
    const bool footer = h[3] >= 4 && (h[5] & 0x10);
    offset += 10 + size + (footer ? 10 : 0);
  }
  return offset;
}

// The first box of an MP4 file: "ftyp" in every file the iTunes family
// and the encoders write.
bool IsMp4Start(const uint8_t* box) { return box && std::memcmp(box + 4, "ftyp", 4) == 0; }

constexpr uint64_t kTailBytes = 16 * 1024;

}  // namespace

TagFormat RecogniseTagFormat(ByteWindow& bytes) {
  const uint8_t* start = bytes.Get(0, 4);
  if (StartsWith(start, "OggS")) return TagFormat::kOgg;
  if (StartsWith(start, "fLaC")) return TagFormat::kFlac;
  if (!StartsWith(start, "ID3"))
    return IsMp4Start(bytes.Get(0, 8)) ? TagFormat::kMp4 : TagFormat::kNone;
  return StartsWith(bytes.Get(AfterId3v2Tags(bytes), 4), "fLaC") ? TagFormat::kFlac
                                                                 : TagFormat::kNone;
}

bool IsTagFormatFile(RandomAccessFile& file) {
  ByteWindow bytes(file, 4096, 64 * 1024);
  return RecogniseTagFormat(bytes) != TagFormat::kNone;
}

namespace {

// The file's first bytes: those the window already holds when it holds
// them all, else read now.
PreloadedRegion HeadOf(RandomAccessFile& file, const ByteWindow* window) {
  const uint64_t wanted = std::min<uint64_t>(file.Size(), kTagFormatHeadBytes);
  uint64_t start = 0;
  size_t length = 0;
  const uint8_t* held = window ? window->Held(start, length) : nullptr;
  if (held && start == 0 && length >= wanted)
    return PreloadedRegion(file, 0, held, static_cast<size_t>(wanted));
  return PreloadedRegion(file, 0, wanted);
}

}  // namespace

bool ReadTagFormatFile(TagFormat format, RandomAccessFile& whole, AudioProperties& properties,
                       FormatTexts& texts, const ByteWindow* window) {
  properties = AudioProperties{};
  texts = FormatTexts{};
  // What the readers look at lies near the ends of the file (headers and
  // tags at the start, the last Ogg page or an MP4 moov at the end): two
  // reads give it, where each structure read alone would cost one, and
  // under Wine reads, not bytes, are what listing a folder costs. Of a
  // small file the start is all of it.
  const uint64_t size = whole.Size();
  PreloadedRegion head = HeadOf(whole, window);
  PreloadedRegion file(head, std::max(head.End(), size > kTailBytes ? size - kTailBytes : 0), size);
  switch (format) {
    case TagFormat::kOgg: return ReadOggFile(file, properties, texts);
    case TagFormat::kMp4: return ReadMp4File(file, properties, texts);
    case TagFormat::kFlac: return ReadFlacFile(file, properties, texts);
    case TagFormat::kNone: break;
  }
  return false;
}

}  // namespace vbmp3
