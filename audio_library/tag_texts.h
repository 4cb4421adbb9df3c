// The texts of one tag as the program uses them, and how they come out of
// the records VBMP3.dll fills. Portable: the code page decoders are passed
// in, so the field cutting is checked natively too.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "vbmp3/include/vbmp3.h"

// The six tag texts a template can use, each already cut at its first NUL.
struct TagTexts {
  std::wstring artist;
  std::wstring title;
  std::wstring album;
  std::wstring year;
  std::wstring comment;
  std::wstring genreName;
  // The track number, two digits at least ("03" from "3/12"); empty when
  // the tag has none.
  std::wstring track;
  // How many digits the track total has, as the tag writes it after "/"
  // (without leading zeros): 3 for "7/120"; 0 when it gives none.
  size_t trackTotalDigits = 0;
  // The album artist (ID3v2 TPE2, ALBUMARTIST, aART) and the disc number as
  // the tag writes it ("2/3"); an ID3v1 tag has neither.
  std::wstring albumArtist;
  std::wstring disc;
};

// The seven texts of an ID3v2 write: title, artist, album, year, comment,
// genre, track.
struct Id3v2Values {
  std::wstring title, artist, album, year, comment, genre, track;
};

// Fields of TagTextsRecord.Texts, as our library fills them: the ID3v2 texts
// in UTF-8, and the tag's version ("2.3"), empty without an ID3v2 tag.
enum Id3v2TextField : int {
  kId3v2Title = 0,
  kId3v2Artist,
  kId3v2Album,
  kId3v2Year,
  kId3v2Comment,
  kId3v2Genre,
  kId3v2Track,
  kId3v2VersionField,
  kFormatField,              // "FLAC", "AAC", "ALAC", "Vorbis", "Opus"; empty for MPEG and WAV
  kId3v1VersionField = 12,   // "1.0"/"1.1" when the file has an ID3v1 tag
  kId3v2ShiftJisField = 13,  // "Shift_JIS" when an ID3v2 text was read from it
};

// Turns the bytes of one field into text: the ANSI code page for the ID3v1
// record, UTF-8 for the ID3v2 texts.
using FieldDecoder = std::wstring (*)(std::string_view bytes);

// The bytes of a fixed-width field up to its first NUL; the whole width when
// it holds none (a full ID3v1 field has no room for one).
std::string_view FieldBytes(const char* field, size_t width);

// The ID3v1 record's six texts, each decoded with ansi.
TagTexts Id3v1Texts(const TagRecord& tag, FieldDecoder ansi);
// The ID3v2 texts of the record, each decoded with utf8.
TagTexts Id3v2Texts(const TagTextsRecord& texts, FieldDecoder utf8);
// The seven ID3v2 values of a block as the library hands them over whole
// (UTF-8 texts, each ended by a NUL: title, artist, album, year, comment,
// genre, track), decoded with utf8 into texts and the track as written into
// writtenTrack. False, leaving both alone, unless all seven are there.
bool Id3v2BlockTexts(std::string_view block, FieldDecoder utf8, TagTexts& texts,
                     std::wstring& writtenTrack);
// Turns a text into UTF-8 bytes.
using TextEncoder = std::string (*)(const std::wstring& text);
// The values as such a block, each encoded with utf8 (a NUL in a value ends
// it, so that it cannot shift the values after it).
std::string Id3v2ValueBlock(const Id3v2Values& values, TextEncoder utf8);
// The ID3v1.1 track byte of the record as a track number; empty without one.
std::wstring Id3v1Track(const TagTextsRecord& texts);
// A track as taggers write it ("3/12", " 7", "003") as the number alone with
// two digits at least ("03", "07", "03", "123"); empty when it does not start
// with a number above zero.
std::wstring TrackNumberText(std::wstring_view written);
// The digits of the total after a track's "/" ("7/120" gives 3, "7/0012"
// gives 2); 0 without a total.
size_t TrackTotalDigits(std::wstring_view written);
// The ID3v2 tag's version ("2.3"); empty when the file has no ID3v2 tag.
std::wstring Id3v2Version(const TagTextsRecord& texts, FieldDecoder utf8);
// Whether the file has an ID3v1 tag, as the record says.
bool RecordHasId3v1(const TagTextsRecord& texts);
// Whether an ID3v2 text came from Shift_JIS bytes (in a Latin-1 or UTF-8 frame).
bool RecordHasShiftJis(const TagTextsRecord& texts);
