// The C interface of VBMP3.dll: records and functions exactly as callers in
// other languages declare them. Paths and texts are bytes in the ANSI code page.
#pragma once
#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#define VBMP3_CALL __stdcall
#else
#define VBMP3_CALL
#endif

#if defined(VBMP3_BUILDING_DLL) && defined(_WIN32)
#define VBMP3_API __declspec(dllexport)
#else
#define VBMP3_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Text fields are fixed-width byte fields: a reader takes them up to the first
// NUL, a writer pads them with spaces to the field's width. The library fills
// them with the text followed by NULs: the ID3v1 tag, or without one the ID3v2
// tag's values in code page 932. GenreNumber is the genre (255: none or not a
// numbered genre) or -1 when the file has no tag.
typedef struct TagRecord {
  char Title[128];
  char Artist[128];
  char Album[128];
  char Year[5];
  char Comment[128];
  char Padding[3];
  int32_t GenreNumber;
  char GenreName[128];
} TagRecord;

typedef struct StreamInfoRecord {
  int32_t Version;  // 1 MPEG-1, 2 MPEG-2, 3 MPEG-2.5, 0 PCM
  int32_t Layer;    // 1..3, 0 PCM
  int32_t Unused[6];
  int32_t Channels;
  int32_t BitRate;  // kbps
  int32_t SamplingRate;
  int32_t FileSize;  // bytes
  int32_t Frames;
  int32_t TotalSeconds;
} StreamInfoRecord;

typedef struct OpenInfoRecord {
  char Title[128];
  char Artist[128];
  int32_t Reserved[3];
  int32_t TotalSeconds;
} OpenInfoRecord;

// Filled by vbmp3_getFileInfo2 with the ID3v2 tag's values in UTF-8: 0 title,
// 1 artist, 2 album, 3 year, 4 comment, 5 genre, 6 track, 7 the tag's
// version, 13 "Shift_JIS" when a value was read from Shift_JIS bytes; others
// empty, and 0-7 and 13 empty without an ID3v2 tag. 12 is "1.0" or "1.1"
// when the file has an ID3v1 tag. vbmp3_setTagTexts takes the values from
// fields 0-6. Id3v1Track is the ID3v1.1 track byte (1-255), 0 when the
// file's ID3v1 tag has none or there is no ID3v1 tag; it stands after the
// texts so that every earlier offset stays where it was. For FLAC, MP4 and
// Ogg files 0-6 hold their tag's texts (a Vorbis comment or iTunes items) in
// the same way, 7, 12 and 13 stay empty and 8 names the audio format
// ("FLAC", "AAC", "ALAC", "Vorbis", "Opus"); 8 is empty for every other file.
typedef struct TagTextsRecord {
  char Texts[14][128];
  int32_t Id3v1Track;
} TagTextsRecord;

// Filled by vbmp3_getFormatInfo: a file's audio in figures every format has.
// Format is "FLAC", "AAC", "ALAC", "Vorbis" or "Opus" for the files whose
// tags are not ID3, "MPEG" for MPEG audio (also in RIFF), "WAV" for WAV
// that is not MPEG. BitsPerSample: FLAC and ALAC, 0 for the others.
// BitRate: kbps, the average over the audio rounded to the nearest.
// TotalSeconds rounded down; FileSize the whole file, also beyond 2 GiB.
// TagWritable: 1 when vbmp3_setTagTexts and vbmp3_setTagTextsWhole write
// this file's tag (its own one for FLAC, MP4 and Ogg files), else 0.
typedef struct FormatInfoRecord {
  char Format[16];
  int32_t Channels;
  int32_t SamplingRate;
  int32_t BitsPerSample;
  int32_t BitRate;
  int32_t TotalSeconds;
  int32_t TagWritable;
  int64_t FileSize;
} FormatInfoRecord;

#ifdef __cplusplus
static_assert(sizeof(TagRecord) == 652, "TagRecord layout");
static_assert(offsetof(TagRecord, Artist) == 128, "TagRecord layout");
static_assert(offsetof(TagRecord, Album) == 256, "TagRecord layout");
static_assert(offsetof(TagRecord, Year) == 384, "TagRecord layout");
static_assert(offsetof(TagRecord, Comment) == 389, "TagRecord layout");
static_assert(offsetof(TagRecord, GenreNumber) == 520, "TagRecord layout");
static_assert(offsetof(TagRecord, GenreName) == 524, "TagRecord layout");
static_assert(sizeof(StreamInfoRecord) == 56, "StreamInfoRecord layout");
static_assert(offsetof(StreamInfoRecord, Channels) == 32, "StreamInfoRecord layout");
static_assert(offsetof(StreamInfoRecord, TotalSeconds) == 52, "StreamInfoRecord layout");
static_assert(sizeof(OpenInfoRecord) == 272, "OpenInfoRecord layout");
static_assert(offsetof(OpenInfoRecord, TotalSeconds) == 268, "OpenInfoRecord layout");
static_assert(offsetof(TagTextsRecord, Id3v1Track) == 1792, "TagTextsRecord layout");
static_assert(sizeof(TagTextsRecord) == 1796, "TagTextsRecord layout");
static_assert(sizeof(FormatInfoRecord) == 48, "FormatInfoRecord layout");
static_assert(offsetof(FormatInfoRecord, FileSize) == 40, "FormatInfoRecord layout");
#endif

// Numbers reported by vbmp3_getLastErrorNo: the outcome of the latest call,
// 0 after a success.
enum {
  VBMP3_ERR_NONE = 0,
  VBMP3_ERR_FILE_NOT_FOUND = 1,   // no file at the path (or it is a directory)
  VBMP3_ERR_CANNOT_OPEN = 2,      // exists but cannot be opened (access, sharing)
  VBMP3_ERR_NOT_AUDIO = 3,        // no MPEG audio, RIFF-MP3 or WAV stream recognised
  VBMP3_ERR_READ = 4,             // the file could not be read to its end
  VBMP3_ERR_WRITE = 5,            // the tag could not be written; the file is unchanged
  VBMP3_ERR_BAD_ARGUMENT = 6,     // null record or empty path
  VBMP3_ERR_NOT_INITIALISED = 7,  // vbmp3_init has not been called
  VBMP3_ERR_NOTHING_OPEN = 8,     // play without a successful open
  VBMP3_ERR_NO_OUTPUT = 9,        // no audio output device, or it refused the format
  VBMP3_ERR_NO_DECODER = 10,      // the platform has no decoder for this stream
  VBMP3_ERR_OUT_OF_MEMORY = 11,
  VBMP3_ERR_READ_ONLY = 12,           // the file is read-only; the tag cannot be written
  VBMP3_ERR_TAG_NOT_REWRITABLE = 13,  // the ID3v2 tag holds what a rewrite would lose or
                                      // falsify (or the file has no place for one); unchanged
  VBMP3_ERR_CANNOT_DECODE = 14,  // the file's tags are read but the library has no decoder for its
                                 // audio (AAC, ALAC, Vorbis, Opus): vbmp3_open refuses it
  VBMP3_ERR_OGG_STREAMS = 15,    // an Ogg file of several logical streams (chained or
                                 // multiplexed): its tag is not written; unchanged
  VBMP3_ERR_MP4_LAYOUT = 16      // a fragmented (moof) or protected (drms, sinf) MP4 file: its tag
                                 // is not written; unchanged
};

// Options of vbmp3_setTagTexts.
enum {
  // Values read from Shift_JIS bytes (in ISO-8859-1 or UTF-8 frames) are written again
  // in the tag's Unicode encoding even when they are unchanged.
  VBMP3_TEXTS_REPAIR_SHIFT_JIS = 1
};

// Every function returns nonzero for success unless said otherwise; callers
// test the low 16 bits only.
VBMP3_API int32_t VBMP3_CALL vbmp3_init(void);
VBMP3_API int32_t VBMP3_CALL vbmp3_free(void);
VBMP3_API int32_t VBMP3_CALL vbmp3_getFileInfo2(const char* path, TagRecord* tag,
                                                StreamInfoRecord* info, TagTextsRecord* texts);
VBMP3_API int32_t VBMP3_CALL vbmp3_getFileInfo(const char* path, TagRecord* tag,
                                               StreamInfoRecord* info);
VBMP3_API int32_t VBMP3_CALL vbmp3_setTagInfo(const char* path, const TagRecord* tag,
                                              int32_t reserved0, int32_t reserved1);
// Writes the seven values of texts (fields 0-6, UTF-8) into the file's ID3v2
// tag and, when the file has one, its ID3v1 tag (see README.md); options:
// VBMP3_TEXTS_ flags.
VBMP3_API int32_t VBMP3_CALL vbmp3_setTagTexts(const char* path, const TagTextsRecord* texts,
                                               int32_t options);
// The seven ID3v2 values whole, which the texts record cuts to 127 bytes:
// a block of UTF-8 texts, each ended by a NUL, in the order title, artist,
// album, year, comment, genre, track. vbmp3_getFileInfoWhole fills the
// records as vbmp3_getFileInfo2 does (texts may be null) and the block into
// values (size bytes); *needed gets the bytes the block takes. With less
// room than that, values gets seven empty texts: ask again with `needed`.
VBMP3_API int32_t VBMP3_CALL vbmp3_getFileInfoWhole(const char* path, TagRecord* tag,
                                                    StreamInfoRecord* info, TagTextsRecord* texts,
                                                    char* values, int32_t size, int32_t* needed);
// vbmp3_setTagTexts for a block of that form (size bytes holding all seven
// texts), each value taken whole.
VBMP3_API int32_t VBMP3_CALL vbmp3_setTagTextsWhole(const char* path, const char* values,
                                                    int32_t size, int32_t options);
// The figures of a file's audio in any format the library reads.
VBMP3_API int32_t VBMP3_CALL vbmp3_getFormatInfo(const char* path, FormatInfoRecord* info);
VBMP3_API int32_t VBMP3_CALL vbmp3_getGenre(TagRecord* tag);
VBMP3_API int32_t VBMP3_CALL vbmp3_open(const char* path, OpenInfoRecord* info);
VBMP3_API int32_t VBMP3_CALL vbmp3_play(void);
VBMP3_API int32_t VBMP3_CALL vbmp3_stop(void);
VBMP3_API int32_t VBMP3_CALL vbmp3_close(void);
// Returns 1 while playing, 0 when stopped or ended; *seconds gets the
// position in whole seconds of audio actually played.
VBMP3_API int32_t VBMP3_CALL vbmp3_getState(int32_t* seconds);
VBMP3_API int32_t VBMP3_CALL vbmp3_getLastErrorNo(void);

#ifdef __cplusplus
}
#endif
