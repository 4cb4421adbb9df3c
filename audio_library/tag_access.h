// The program's one way of asking VBMP3.dll about a file's tags and stream
// and of writing its ID3v1 tag: the path conversion, the library's success
// test and the turning of its records into wide texts happen here.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "audio_library/tag_texts.h"

// The library answers success in the low 16 bits of a result.
bool Vbmp3Succeeded(int32_t result);

// A file's tags and stream as the library reports them.
struct FileTags {
  TagTexts id3v1;             // the tag record's texts (ANSI code page)
  TagTexts id3v2;             // the ID3v2 texts, whole (an older library cuts them)
  std::wstring id3v2Version;  // "2.3"; empty without an ID3v2 tag
  StreamInfoRecord stream{};
  bool hasId3v1 = false;    // the file has an ID3v1 tag (id3v1 may otherwise hold ID3v2 texts)
  bool shiftJis = false;    // an ID3v2 text was read from Shift_JIS bytes
  std::wstring id3v2Track;  // as written ("3/12")
  // "FLAC", "AAC", "ALAC", "Vorbis" or "Opus" for a file whose tag is no
  // ID3 tag; then id3v1 and id3v2 both hold that tag's texts, whole, so that
  // whichever a setting prefers names the file the same.
  std::wstring format;
};

enum class TagReadOutcome {
  kRead,
  kUnreachablePath,  // no ANSI path reaches the file (see LibraryPath)
  kLibraryFailed,    // the library could not read it; VBMP3 knows why
};

struct TagReading {
  TagReadOutcome outcome = TagReadOutcome::kLibraryFailed;
  // What the library filled, also when it failed: a file that is no audio
  // may still have a tag and a size. Empty when the library was not asked.
  FileTags tags;
};

// Reads path's tags and stream, saying how far it got.
TagReading ReadFileTagsReporting(const std::wstring& path);
// Path's tags and stream; nothing when they cannot be read.
std::optional<FileTags> ReadFileTags(const std::wstring& path);

// The figures of path's audio in any format the library reads; an older
// library gives only what StreamInfoRecord holds (no bits per sample, and
// the tag not writable).
// Nothing when the file cannot be read.
std::optional<FormatInfoRecord> ReadFormatInfo(const std::wstring& path, const FileTags& tags);

// Writes the ID3v1 tag of the file the library knows as libraryPath (from
// LibraryPath): the five texts of texts (not the genre name) and
// genreNumber (-1: none chosen). False when the library refused.
bool WriteId3v1Tag(const std::string& libraryPath, const TagTexts& texts, int32_t genreNumber);

// Writes values into the ID3v2 tag (and the ID3v1 tag, if any) of the file
// the library knows as libraryPath, whole (an older library takes them cut
// to its record's 127 UTF-8 bytes); with repairShiftJis, texts read from Shift_JIS are written anew
// in Unicode. False when the library refused or cannot write ID3v2 texts.
bool WriteId3v2Texts(const std::string& libraryPath, const Id3v2Values& values,
                     bool repairShiftJis);
// Whether the library can write ID3v2 texts (an older VBMP3.dll cannot).
bool CanWriteId3v2Texts();

// A genre the library names, with its ID3v1 number.
struct Genre {
  int32_t number;
  std::wstring name;
};
// Every genre the library names, by ascending number (numbers it leaves
// unnamed are skipped, so the list may have gaps).
std::vector<Genre> LibraryGenres();

// The library's number for its last failure; 0 without a library.
int32_t Vbmp3LastErrorNumber();
