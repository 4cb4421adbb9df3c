#include "vbmp3/src/file_info.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "vbmp3/src/audio_stream.h"
#include "vbmp3/src/genre.h"
#include "vbmp3/src/id3v1.h"
#include "vbmp3/src/last_error.h"
#include "vbmp3/src/tag_file.h"

namespace vbmp3 {
namespace {

int32_t Clamp(uint64_t v) { return static_cast<int32_t>(std::min<uint64_t>(v, INT32_MAX)); }

// Leaves room for the NUL that ends the text for callers.
template <size_t N>
void PutText(char (&field)[N], std::string_view text) {
  std::memset(field, 0, N);
  const std::string_view cut = CutText(text, N - 1);
  if (!cut.empty()) std::memcpy(field, cut.data(), cut.size());
}

// A record field as the caller filled it: up to the first NUL, without the
// spaces it was padded with.
std::string RecordText(const char* field, size_t width) {
  const void* nul = std::memchr(field, 0, width);
  const size_t n = nul ? static_cast<size_t>(static_cast<const char*>(nul) - field) : width;
  return std::string(TrimRight(std::string_view(field, n)));
}

}  // namespace

int32_t ReadFileInfo(RandomAccessFile& file, TagRecord* tag, StreamInfoRecord* info,
                     TagTextsRecord* texts) {
  if (tag) {
    std::memset(tag, 0, sizeof *tag);
    tag->GenreNumber = -1;
  }
  if (info) std::memset(info, 0, sizeof *info);
  if (texts) std::memset(texts, 0, sizeof *texts);

  // One window for tag and stream: a small file costs a single read, a
  // large one a read at each end (and a walk when no header gives counts).
  ByteWindow bytes(file);
  Id3v1Tag t;
  if (ReadTag(bytes, t)) {
    if (tag) {
      PutText(tag->Title, t.title);
      PutText(tag->Artist, t.artist);
      PutText(tag->Album, t.album);
      PutText(tag->Year, t.year);
      PutText(tag->Comment, t.comment);
      tag->GenreNumber = t.genre;
      GetGenre(tag);
    }
    if (texts) {
      PutText(texts->Texts[0], t.title);
      PutText(texts->Texts[1], t.artist);
      PutText(texts->Texts[2], t.album);
      PutText(texts->Texts[3], t.year);
      PutText(texts->Texts[4], t.comment);
      PutText(texts->Texts[5], GenreName(t.genre));
      if (t.track) PutText(texts->Texts[6], std::to_string(t.track));
    }
  }

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

int32_t GetFileInfo(const char* path, TagRecord* tag, StreamInfoRecord* info,
                    TagTextsRecord* texts) {
  if (!path || !*path || !tag || !info) {
    SetLastErrorNo(VBMP3_ERR_BAD_ARGUMENT);
    return 0;
  }
  int32_t error = VBMP3_ERR_NONE;
  std::unique_ptr<RandomAccessFile> file = OpenFile(path, OpenMode::Read, error);
  if (file) error = ReadFileInfo(*file, tag, info, texts);
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

}  // namespace vbmp3
