// The ID3v1 / ID3v1.1 tag: 128 bytes, "TAG" then fixed-width fields.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vbmp3 {

constexpr size_t kId3v1Length = 128;
// Widths of the text fields: title, artist, album, comment (28 beside a
// track number); the year.
constexpr size_t kId3v1TextWidth = 30;
constexpr size_t kId3v1YearWidth = 4;

struct Id3v1Tag {
  std::string title, artist, album, year, comment;  // ANSI bytes, no padding
  int track = 0;    // ID3v1.1 track number, 0 when none (then comment may use 30 bytes)
  int genre = 255;  // the genre byte; 255: none
};

// True if `p` (128 bytes) starts with "TAG"; fills `tag`. A field's text is
// its bytes up to the first NUL, without trailing spaces.
bool ParseId3v1(const uint8_t* p, Id3v1Tag& tag);

// The 128 on-disk bytes of `tag`: every text cut to its width (30, or 28
// for the comment when a track number is kept; 4 for the year) without
// splitting a double-byte character, padded with NULs.
void BuildId3v1(const Id3v1Tag& tag, uint8_t* out);

// Tells whether a byte starts a double-byte character in the ANSI code page.
using LeadBytePredicate = bool (*)(uint8_t);
// Code page 932 (Shift_JIS): lead bytes 0x81-0x9F and 0xE0-0xFC.
bool IsCp932LeadByte(uint8_t b);
// The predicate BuildId3v1 and CutText use; code page 932 unless the DLL
// installs the system's own.
void SetLeadBytePredicate(LeadBytePredicate isLead);

// The longest prefix of `text` of at most `width` bytes that does not end
// inside a double-byte character (of the ANSI code page, or as `isLead` says).
std::string_view CutText(std::string_view text, size_t width);
std::string_view CutText(std::string_view text, size_t width, LeadBytePredicate isLead);
// `text` without trailing spaces and NULs.
std::string_view TrimRight(std::string_view text);

}  // namespace vbmp3
