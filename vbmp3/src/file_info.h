// The library's records filled from a file, and tag records written to one:
// what vbmp3_getFileInfo2/getFileInfo/setTagInfo/getGenre do, shared by the
// DLL and the native probe so that both give the same answers.
#pragma once
#include <string>
#include <cstdint>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/io/file_io.h"
#include "vbmp3/src/id3v2/id3v2_edit.h"

namespace vbmp3 {

// Which tags a file holds.
struct TagVersions {
  int id3v1 = 0;  // 0 none, 10 ID3v1, 11 ID3v1.1
  int id3v2 = 0;  // 0 none, else the major version 2, 3 or 4
};

// Fills the records from `file` (each may be null). The tag record holds
// the ID3v1 tag, or when there is none the ID3v2 tag's values in code page
// 932 cut to the ID3v1 widths; the texts record the ID3v2 values in UTF-8
// (see README.md); `values` the seven ID3v2 values whole. The tag record is
// filled even when the stream is not recognised. Returns 0 or a VBMP3_ERR_
// number.
// The ID3v2 tag's album artist and disc, as written; the texts record has
// no field for them.
struct CollectionTexts {
  std::string albumArtist, disc;
};

int32_t ReadFileInfo(RandomAccessFile& file, TagRecord* tag, StreamInfoRecord* info,
                     TagTextsRecord* texts, TagVersions* versions = nullptr,
                     Id3v2Values* values = nullptr, CollectionTexts* collection = nullptr);

// Fields of TagTextsRecord.Texts.
enum TagTextField {
  kTextTitle,
  kTextArtist,
  kTextAlbum,
  kTextYear,
  kTextComment,
  kTextGenre,
  kTextTrack,
  kTextId3v2Version,       // "2.2", "2.3" or "2.4"
  kTextFormat,             // FLAC, MP4 and Ogg files: "FLAC", "AAC", "ALAC", "Vorbis", "Opus"
  kTextId3v1Version = 12,  // "1.0" or "1.1" when the file has an ID3v1 tag
  kTextId3v2ShiftJis = 13  // "Shift_JIS" when a value was read from Shift_JIS bytes
};

// Writes `tag` as the file's ID3v1 tag. Returns 0 or a VBMP3_ERR_ number.
int32_t WriteTagInfo(RandomAccessFile& file, const TagRecord& tag);

// The calls of the C interface by path (ANSI bytes): return 1 or 0 and set
// the last error number.
int32_t GetFileInfo(const char* path, TagRecord* tag, StreamInfoRecord* info, TagTextsRecord* texts,
                    Id3v2Values* values = nullptr, CollectionTexts* collection = nullptr);
int32_t SetTagInfo(const char* path, const TagRecord* tag);
// Fills GenreName from GenreNumber; 1 if the number has a name.
int32_t GetGenre(TagRecord* tag);
// Which tags the file at `path` holds; false when it cannot be read.
bool GetTagVersions(const char* path, TagVersions& versions);

}  // namespace vbmp3
