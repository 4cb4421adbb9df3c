// The values the library takes from an ID3v2 tag: title, artist, album,
// year, comment, genre and track, from the frames of 2.2 (TT2, TP1, TAL,
// TYE, COM, TCO, TRK) and 2.3/2.4 (TIT2, TPE1, TALB, TYER or TDRC, COMM,
// TCON, TRCK); and the album artist (TP2, TPE2) and the disc (TPA, TPOS)
// collections are sorted by.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vbmp3 {

struct Id3v2Tag {
  int major = 0;  // 2, 3 or 4
  // UTF-8; the values of a frame joined with "/".
  std::string title, artist, album, year, comment, genre, track;
  std::string albumArtist, disc;
  int genreNumber =
      255;  // the genre when it starts with a reference the genre table names, else 255
  // Which of the values above were read from Shift_JIS bytes in Latin-1
  // frames: bits 1 << Id3v2Value.
  unsigned shiftJisValues = 0;
};

// The values of Id3v2Tag in the order the library's texts record has them.
enum Id3v2Value {
  kValueTitle,
  kValueArtist,
  kValueAlbum,
  kValueYear,
  kValueComment,
  kValueGenre,
  kValueTrack,
  kValueCount
};

// Reads the tag whose bytes, header first, are [tag, tag + size) (`size`
// may stop short of the tag's end). False when they do not start an ID3v2
// tag of version 2.2, 2.3 or 2.4. The first frame of each kind counts;
// of the comments, the first with an empty description, else the first.
bool ParseId3v2Tag(const uint8_t* tag, size_t size, Id3v2Tag& out);

// A genre frame's values as one text: "(n)" and "n" references through the
// genre table, "RX" as "Remix", "CR" as "Cover", "((" for a literal "(", a
// refinement that repeats the name before it dropped; all joined with "/".
// `number` gets the first reference when it comes first and the table
// names it, else 255.
std::string ResolveGenres(const std::vector<std::string>& values, int& number);

}  // namespace vbmp3
