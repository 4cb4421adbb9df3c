#include "vbmp3/src/format_records.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "vbmp3/src/audio_stream.h"
#include "vbmp3/src/format_texts_write.h"
#include "vbmp3/src/id3v1/genre.h"
#include "vbmp3/src/last_error.h"
#include "vbmp3/src/record_fields.h"
#include "vbmp3/src/tag_format.h"

namespace vbmp3 {
namespace {

int32_t Clamp(double v) {
  if (!(v > 0)) return 0;
  return v >= INT32_MAX ? INT32_MAX : static_cast<int32_t>(v);
}

// A genre text that is a numbered genre's name gets its number, as an ID3v2
// genre reference would; any other text is a genre of its own.
void PutGenre(TagRecord& tag, const std::string& genre) {
  tag.GenreNumber = 255;
  for (int number = 0; number < kGenreCount; ++number) {
    if (!genre.empty() && GenreName(number) == genre) {
      tag.GenreNumber = number;
      break;
    }
  }
  PutCp932(tag.GenreName, genre, sizeof tag.GenreName - 1);
}

void PutTagRecord(TagRecord& tag, const FormatTexts& texts) {
  PutCp932(tag.Title, texts.title, kId3v1TextWidth);
  PutCp932(tag.Artist, texts.artist, kId3v1TextWidth);
  PutCp932(tag.Album, texts.album, kId3v1TextWidth);
  PutCp932(tag.Year, texts.year, kId3v1YearWidth);
  PutCp932(tag.Comment, texts.comment, kId3v1TextWidth);
  PutGenre(tag, texts.genre);
}

void PutTextsRecord(TagTextsRecord& record, const AudioProperties& properties,
                    const FormatTexts& texts) {
  std::memset(&record, 0, sizeof record);
  PutUtf8(record.Texts[kTextTitle], texts.title);
  PutUtf8(record.Texts[kTextArtist], texts.artist);
  PutUtf8(record.Texts[kTextAlbum], texts.album);
  PutUtf8(record.Texts[kTextYear], texts.year);
  PutUtf8(record.Texts[kTextComment], texts.comment);
  PutUtf8(record.Texts[kTextGenre], texts.genre);
  PutUtf8(record.Texts[kTextTrack], texts.track);
  PutUtf8(record.Texts[kTextFormat], properties.format);
}

void PutStreamRecord(StreamInfoRecord& info, const AudioProperties& properties, uint64_t fileSize) {
  std::memset(&info, 0, sizeof info);
  info.Channels = properties.channels;
  info.BitRate = AverageBitRate(properties);
  info.SamplingRate = properties.samplingRate;
  info.FileSize = static_cast<int32_t>(std::min<uint64_t>(fileSize, INT32_MAX));
  // Sample frames, as for PCM: these formats have no frames of one size.
  info.Frames = Clamp(std::floor(properties.seconds * properties.samplingRate + 0.5));
  info.TotalSeconds = Clamp(std::floor(properties.seconds));
}

void PutFormatName(FormatInfoRecord& info, const std::string& name) {
  const size_t n = std::min(name.size(), sizeof info.Format - 1);
  std::memcpy(info.Format, name.data(), n);
}

// The figures of an MPEG or WAV file, from the records it has always had.
int32_t ReadOtherFormatInfo(RandomAccessFile& file, FormatInfoRecord& info) {
  StreamInfoRecord stream{};
  const int32_t error = ReadFileInfo(file, nullptr, &stream, nullptr);
  if (error) return error;
  PutFormatName(info, stream.Version ? "MPEG" : "WAV");
  info.Channels = stream.Channels;
  info.SamplingRate = stream.SamplingRate;
  info.BitRate = stream.BitRate;
  info.TotalSeconds = stream.TotalSeconds;
  info.TagWritable = 1;
  return VBMP3_ERR_NONE;
}

int32_t ReadFormatInfo(RandomAccessFile& file, FormatInfoRecord& info) {
  std::memset(&info, 0, sizeof info);
  info.FileSize = static_cast<int64_t>(std::min<uint64_t>(file.Size(), INT64_MAX));
  TagFormat format;
  {
    ByteWindow bytes(file);
    format = RecogniseTagFormat(bytes);
  }
  if (format == TagFormat::kNone) return ReadOtherFormatInfo(file, info);
  AudioProperties properties;
  FormatTexts texts;
  if (!ReadTagFormatFile(format, file, properties, texts)) return VBMP3_ERR_NOT_AUDIO;
  PutFormatName(info, properties.format);
  info.Channels = properties.channels;
  info.SamplingRate = properties.samplingRate;
  info.BitsPerSample = properties.bitsPerSample;
  info.BitRate = AverageBitRate(properties);
  info.TotalSeconds = Clamp(std::floor(properties.seconds));
  info.TagWritable = CanWriteTagFormat(format) ? 1 : 0;
  return VBMP3_ERR_NONE;
}

}  // namespace

void PutFormatRecords(const AudioProperties& properties, const FormatTexts& texts,
                      uint64_t fileSize, TagRecord* tag, StreamInfoRecord* info,
                      TagTextsRecord* record, Id3v2Values* values, CollectionTexts* collection) {
  if (tag) PutTagRecord(*tag, texts);
  if (record) PutTextsRecord(*record, properties, texts);
  if (info) PutStreamRecord(*info, properties, fileSize);
  if (values) {
    *values = {texts.title,   texts.artist, texts.album, texts.year,
               texts.comment, texts.genre,  texts.track};
  }
  if (collection) *collection = {texts.albumArtist, texts.disc};
}

int32_t GetFormatInfo(const char* path, FormatInfoRecord* info) {
  if (!path || !*path || !info) {
    SetLastErrorNo(VBMP3_ERR_BAD_ARGUMENT);
    return 0;
  }
  int32_t error = VBMP3_ERR_NONE;
  std::unique_ptr<RandomAccessFile> file = OpenFile(path, OpenMode::Read, error);
  if (file) {
    error = ReadFormatInfo(*file, *info);
  } else {
    std::memset(info, 0, sizeof *info);
  }
  SetLastErrorNo(error);
  return error == VBMP3_ERR_NONE ? 1 : 0;
}

}  // namespace vbmp3
