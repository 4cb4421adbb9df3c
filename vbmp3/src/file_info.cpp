#include "vbmp3/src/file_info.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "vbmp3/src/audio_stream.h"
#include "vbmp3/src/text/cp932.h"
#include "vbmp3/src/id3v1/genre.h"
#include "vbmp3/src/id3v1/id3v1.h"
#include "vbmp3/src/last_error.h"
#include "vbmp3/src/format_records.h"
#include "vbmp3/src/record_fields.h"
#include "vbmp3/src/tag_format.h"
#include "vbmp3/src/tag_file.h"
#include "vbmp3/src/text/unicode.h"

namespace vbmp3 {
namespace {

constexpr size_t kFirstRead = 8 * 1024;

int32_t Clamp(uint64_t v) { return static_cast<int32_t>(std::min<uint64_t>(v, INT32_MAX)); }

// A record field as the caller filled it: up to the first NUL, without the
// spaces it was padded with.
std::string RecordText(const char* field, size_t width) {
  const void* nul = std::memchr(field, 0, width);
  const size_t n = nul ? static_cast<size_t>(static_cast<const char*>(nul) - field) : width;
  return std::string(TrimRight(std::string_view(field, n)));
}

void PutId3v1Record(TagRecord& tag, const Id3v1Tag& t) {
  PutText(tag.Title, t.title);
  PutText(tag.Artist, t.artist);
  PutText(tag.Album, t.album);
  PutText(tag.Year, t.year);
  PutText(tag.Comment, t.comment);
  tag.GenreNumber = t.genre;
  GetGenre(&tag);
}

// The record of a file with an ID3v2 tag and no ID3v1 tag: what writing it
// back as an ID3v1 tag keeps.
void PutId3v2Record(TagRecord& tag, const Id3v2Tag& v2) {
  PutCp932(tag.Title, v2.title, kId3v1TextWidth);
  PutCp932(tag.Artist, v2.artist, kId3v1TextWidth);
  PutCp932(tag.Album, v2.album, kId3v1TextWidth);
  PutCp932(tag.Year, v2.year, kId3v1YearWidth);
  PutCp932(tag.Comment, v2.comment, kId3v1TextWidth);
  tag.GenreNumber = v2.genreNumber;
  if (v2.genreNumber != 255) {
    GetGenre(&tag);
  } else {
    PutCp932(tag.GenreName, v2.genre, sizeof tag.GenreName);
  }
}

TagVersions ReadTags(ByteWindow& bytes, Id3v1Tag& v1, Id3v2Tag& v2) {
  TagVersions versions;
  if (ReadTag(bytes, v1)) versions.id3v1 = v1.track ? 11 : 10;
  if (ReadId3v2(bytes, v2)) versions.id3v2 = v2.major;
  return versions;
}

// The ID3v2 tag's values into the texts record's fields, each cut to them.
void PutId3v2Texts(TagTextsRecord& texts, const Id3v2Tag& v2) {
  PutUtf8(texts.Texts[kTextTitle], v2.title);
  PutUtf8(texts.Texts[kTextArtist], v2.artist);
  PutUtf8(texts.Texts[kTextAlbum], v2.album);
  PutUtf8(texts.Texts[kTextYear], v2.year);
  PutUtf8(texts.Texts[kTextComment], v2.comment);
  PutUtf8(texts.Texts[kTextGenre], v2.genre);
  PutUtf8(texts.Texts[kTextTrack], v2.track);
  PutUtf8(texts.Texts[kTextId3v2Version], "2." + std::to_string(v2.major));
  if (v2.shiftJisValues) PutUtf8(texts.Texts[kTextId3v2ShiftJis], "Shift_JIS");
}

// A FLAC, MP4 or Ogg file: the records from its own reader. A damaged one
// is no audio, as a damaged MPEG stream is not.
int32_t ReadTagFormatInfo(TagFormat format, RandomAccessFile& file, const ByteWindow& window,
                          TagRecord* tag, StreamInfoRecord* info, TagTextsRecord* texts,
                          Id3v2Values* values, CollectionTexts* collection) {
  if (info) info->FileSize = Clamp(file.Size());
  AudioProperties properties;
  FormatTexts read;
  if (!ReadTagFormatFile(format, file, properties, read, &window)) return VBMP3_ERR_NOT_AUDIO;
  PutFormatRecords(properties, read, file.Size(), tag, info, texts, values, collection);
  return VBMP3_ERR_NONE;
}

}  // namespace

int32_t ReadFileInfo(RandomAccessFile& file, TagRecord* tag, StreamInfoRecord* info,
                     TagTextsRecord* texts, TagVersions* versions, Id3v2Values* values,
                     CollectionTexts* collection) {
  if (tag) {
    std::memset(tag, 0, sizeof *tag);
    tag->GenreNumber = -1;
  }
  if (info) std::memset(info, 0, sizeof *info);
  if (texts) std::memset(texts, 0, sizeof *texts);
  if (values) *values = Id3v2Values{};
  if (collection) *collection = CollectionTexts{};

  // One window for tags and stream: a small file costs a single read, a
  // large one a read at each end (and a walk when no header gives counts).
  // A FLAC, MP4 or Ogg reader takes what it holds of the start, all of a
  // file of up to its head's size.
  ByteWindow bytes(file, file.Size() <= kTagFormatHeadBytes ? kTagFormatHeadBytes : kFirstRead);
  if (const TagFormat format = RecogniseTagFormat(bytes); format != TagFormat::kNone) {
    // Which ID3 tags it holds, though they are not its tag: some tools put
    // one in front of a FLAC file.
    if (versions) {
      Id3v1Tag t;
      Id3v2Tag v2;
      *versions = ReadTags(bytes, t, v2);
    }
    return ReadTagFormatInfo(format, file, bytes, tag, info, texts, values, collection);
  }
  Id3v1Tag t;
  Id3v2Tag v2;
  const TagVersions found = ReadTags(bytes, t, v2);
  const bool hasId3v1 = found.id3v1 != 0, hasId3v2 = found.id3v2 != 0;
  if (versions) *versions = found;
  if (tag && hasId3v1) {
    PutId3v1Record(*tag, t);
  } else if (tag && hasId3v2) {
    PutId3v2Record(*tag, v2);
  }
  if (texts && hasId3v1) texts->Id3v1Track = t.track;
  if (texts && hasId3v2) PutId3v2Texts(*texts, v2);

  if (texts && hasId3v1)
    PutUtf8(texts->Texts[kTextId3v1Version], found.id3v1 == 11 ? "1.1" : "1.0");
  if (values && hasId3v2)
    *values = {v2.title, v2.artist, v2.album, v2.year, v2.comment, v2.genre, v2.track};
  if (collection && hasId3v2) *collection = {v2.albumArtist, v2.disc};

  AudioStream a;
  const int32_t error = AnalyseAudio(bytes, a, Measure::Exact);
  if (info) info->FileSize = Clamp(file.Size());
  if (error) return error;
  if (info) {
    info->Version = a.version;
    info->Layer = a.layer;
    info->Channels = a.channels;
    info->BitRate = a.bitRateKbps;
    info->SamplingRate = a.samplingRate;
    info->Frames = Clamp(a.frames);
    info->TotalSeconds = Clamp(a.totalSeconds);
  }
  return VBMP3_ERR_NONE;
}

int32_t WriteTagInfo(RandomAccessFile& file, const TagRecord& tag) {
  // Only a file that is audio gets a tag: 128 bytes at the end of anything
  // else would damage it.
  if (IsTagFormatFile(file)) return VBMP3_ERR_TAG_NOT_REWRITABLE;
  AudioStream a;
  if (const int32_t error = AnalyseAudio(file, a, Measure::Locate)) return error;
  Id3v1Tag t;
  t.title = RecordText(tag.Title, sizeof tag.Title);
  t.artist = RecordText(tag.Artist, sizeof tag.Artist);
  t.album = RecordText(tag.Album, sizeof tag.Album);
  t.year = RecordText(tag.Year, sizeof tag.Year);
  t.comment = RecordText(tag.Comment, sizeof tag.Comment);
  t.genre = tag.GenreNumber >= 0 && tag.GenreNumber <= 255 ? tag.GenreNumber : 255;
  return WriteTag(file, t);
}

int32_t GetFileInfo(const char* path, TagRecord* tag, StreamInfoRecord* info, TagTextsRecord* texts,
                    Id3v2Values* values, CollectionTexts* collection) {
  if (!path || !*path || !tag || !info) {
    SetLastErrorNo(VBMP3_ERR_BAD_ARGUMENT);
    return 0;
  }
  int32_t error = VBMP3_ERR_NONE;
  std::unique_ptr<RandomAccessFile> file = OpenFile(path, OpenMode::Read, error);
  if (file) error = ReadFileInfo(*file, tag, info, texts, nullptr, values, collection);
  SetLastErrorNo(error);
  return error == VBMP3_ERR_NONE ? 1 : 0;
}

int32_t SetTagInfo(const char* path, const TagRecord* tag) {
  if (!path || !*path || !tag) {
    SetLastErrorNo(VBMP3_ERR_BAD_ARGUMENT);
    return 0;
  }
  int32_t error = VBMP3_ERR_NONE;
  std::unique_ptr<RandomAccessFile> file = OpenFile(path, OpenMode::Update, error);
  if (file) error = WriteTagInfo(*file, *tag);
  SetLastErrorNo(error);
  return error == VBMP3_ERR_NONE ? 1 : 0;
}

int32_t GetGenre(TagRecord* tag) {
  if (!tag) {
    SetLastErrorNo(VBMP3_ERR_BAD_ARGUMENT);
    return 0;
  }
  const std::string_view name = GenreName(tag->GenreNumber);
  PutText(tag->GenreName, name);
  return name.empty() ? 0 : 1;
}

bool GetTagVersions(const char* path, TagVersions& versions) {
  versions = TagVersions{};
  int32_t error = VBMP3_ERR_NONE;
  std::unique_ptr<RandomAccessFile> file =
      path && *path ? OpenFile(path, OpenMode::Read, error) : nullptr;
  if (!file) return false;
  ByteWindow bytes(*file);
  Id3v1Tag t;
  Id3v2Tag v2;
  versions = ReadTags(bytes, t, v2);
  return !bytes.Failed();
}

}  // namespace vbmp3
