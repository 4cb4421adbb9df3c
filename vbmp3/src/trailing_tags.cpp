#include "vbmp3/src/trailing_tags.h"

#include <cstring>

#include "vbmp3/src/io/byte_order.h"
#include "vbmp3/src/id3v1/id3v1.h"
#include "vbmp3/src/id3v2/id3v2.h"

namespace vbmp3 {
namespace {

constexpr uint64_t kApeFooterLength = 32;
constexpr uint64_t kEnhancedTagLength = 227;  // "TAG+" before an ID3v1 tag
constexpr uint64_t kLyrics3v1MaxLength = 5100 + 11 + 9;

// Length of an APE tag whose footer ends at `end`, or 0.
uint64_t ApeTagLength(ByteWindow& bytes, uint64_t begin, uint64_t end) {
  if (end - begin < kApeFooterLength) return 0;
  const uint8_t* f = bytes.Get(end - kApeFooterLength, kApeFooterLength);
  if (!f || std::memcmp(f, "APETAGEX", 8) != 0) return 0;
  const uint64_t size = ReadLE32(f + 12);  // items and footer, not the header
  const bool hasHeader = (ReadLE32(f + 20) & 0x80000000u) != 0;
  const uint64_t total = size + (hasHeader ? kApeFooterLength : 0);
  if (size < kApeFooterLength || total > end - begin) return 0;
  return total;
}

// Length of a Lyrics3 tag ending at `end`, or 0. Version 1 is only valid
// right before an ID3v1 tag.
uint64_t Lyrics3Length(ByteWindow& bytes, uint64_t begin, uint64_t end, bool beforeId3v1) {
  if (end - begin < 15) return 0;
  const uint8_t* e = bytes.Get(end - 15, 15);
  if (!e) return 0;
  if (std::memcmp(e + 6, "LYRICS200", 9) == 0) {
    uint64_t size = 0;
    for (int i = 0; i < 6; ++i) {
      if (e[i] < '0' || e[i] > '9') return 0;
      size = size * 10 + (e[i] - '0');
    }
    const uint64_t total = size + 15;
    if (total > end - begin) return 0;
    const uint8_t* b = bytes.Get(end - total, 11);
    return b && std::memcmp(b, "LYRICSBEGIN", 11) == 0 ? total : 0;
  }
  if (beforeId3v1 && std::memcmp(e + 6, "LYRICSEND", 9) == 0) {
    const uint64_t span = end - begin < kLyrics3v1MaxLength ? end - begin : kLyrics3v1MaxLength;
    const uint8_t* s = bytes.Get(end - span, static_cast<size_t>(span));
    if (!s) return 0;
    for (uint64_t i = span - 9; i-- > 0;) {  // the last LYRICSBEGIN before the end marker
      if (i + 11 <= span - 9 && std::memcmp(s + i, "LYRICSBEGIN", 11) == 0) return span - i;
    }
  }
  return 0;
}

// The APE, Lyrics3 and appended ID3v2 tags ending at `end`, which may come
// in any order: each found one uncovers the next. Returns where they begin.
uint64_t SkipTags(ByteWindow& bytes, uint64_t begin, uint64_t end, bool afterId3v1) {
  for (int round = 0; round < 8; ++round) {
    uint64_t length = ApeTagLength(bytes, begin, end);
    if (!length) length = Lyrics3Length(bytes, begin, end, round == 0 && afterId3v1);
    if (!length && end - begin >= kId3v2HeaderLength) {
      const uint8_t* f = bytes.Get(end - kId3v2HeaderLength, kId3v2HeaderLength);
      length = f ? Id3v2FooterTagLength(f) : 0;
      if (length > end - begin) length = 0;
    }
    if (!length) break;
    end -= length;
  }
  return end;
}

}  // namespace

uint64_t EndBeforeId3v1(ByteWindow& bytes, uint64_t end) {
  if (end < kId3v1Length) return end;
  const uint8_t* p = bytes.Get(end - kId3v1Length, 3);
  return p && std::memcmp(p, "TAG", 3) == 0 ? end - kId3v1Length : end;
}

TrailingTags FindTrailingTags(ByteWindow& bytes, uint64_t begin, uint64_t end) {
  TrailingTags t;
  bool enhanced = false;
  if (end >= begin + kId3v1Length) {
    const uint8_t* p = bytes.Get(end - kId3v1Length, 3);
    if (p && std::memcmp(p, "TAG", 3) == 0) {
      t.hasId3v1 = true;
      t.id3v1Offset = end - kId3v1Length;
      end -= kId3v1Length;
      if (end >= begin + kEnhancedTagLength) {
        const uint8_t* x = bytes.Get(end - kEnhancedTagLength, 4);
        enhanced = x && std::memcmp(x, "TAG+", 4) == 0;
      }
    }
  }
  t.audioEnd = SkipTags(bytes, begin, enhanced ? end - kEnhancedTagLength : end, t.hasId3v1);
  // The same bytes as a file without its ID3v1 tag would show them.
  t.audioEndWithoutExtension = t.hasId3v1 ? SkipTags(bytes, begin, end, false) : t.audioEnd;
  return t;
}

}  // namespace vbmp3
