#include "audio_library/tag_access.h"

#include <algorithm>
#include <cstring>

#include "audio_library/library_path.h"
#include "audio_library/vbmp3_api.h"
#include "win/text.h"

namespace {

std::wstring FromAnsiBytes(std::string_view bytes) { return win::FromAnsi(bytes); }
std::wstring FromUtf8Bytes(std::string_view bytes) { return win::FromUtf8(bytes); }
std::string ToUtf8Bytes(const std::wstring& text) { return win::ToUtf8(text); }

// Room for the seven values of nearly every tag at the first asking; a
// larger block is asked for once, up to a size no sane tag reaches.
constexpr int32_t kFirstBlockSize = 8 * 1024;
constexpr int32_t kLargestBlockSize = 16 * 1024 * 1024;

// Reads through the export that hands the ID3v2 values over whole, putting
// them into tags; false when the library lacks it (or the values do not fit
// the largest block), and the record's cut texts must stand.
bool ReadWholeTexts(const char* path, TagRecord& tag, TagTextsRecord& texts, FileTags& tags,
                    bool& read) {
  if (!g_vbmp3->getFileInfoWhole) return false;
  std::string block(kFirstBlockSize, '\0');
  int32_t needed = 0;
  read = Vbmp3Succeeded(g_vbmp3->getFileInfoWhole(path, &tag, &tags.stream, &texts, block.data(),
                                                  kFirstBlockSize, &needed));
  if (needed > kFirstBlockSize && needed <= kLargestBlockSize) {
    block.assign(static_cast<size_t>(needed), '\0');
    read = Vbmp3Succeeded(
        g_vbmp3->getFileInfoWhole(path, &tag, &tags.stream, &texts, block.data(), needed, &needed));
  }
  if (needed > static_cast<int32_t>(block.size()) || needed < 0) return false;
  return Id3v2BlockTexts(block, &FromUtf8Bytes, tags.id3v2, tags.id3v2Track);
}

}  // namespace

bool Vbmp3Succeeded(int32_t result) { return (result & 0xFFFF) != 0; }

TagReading ReadFileTagsReporting(const std::wstring& path) {
  TagReading reading;
  if (!g_vbmp3->getFileInfo2) return reading;
  std::optional<std::string> libraryPath = LibraryPath(path);
  if (!libraryPath) {
    reading.outcome = TagReadOutcome::kUnreachablePath;
    return reading;
  }
  TagRecord tag{};
  TagTextsRecord texts{};
  FileTags& tags = reading.tags;
  bool read = false;
  if (!ReadWholeTexts(libraryPath->c_str(), tag, texts, tags, read)) {
    read = Vbmp3Succeeded(g_vbmp3->getFileInfo2(libraryPath->c_str(), &tag, &tags.stream, &texts));
    tags.id3v2 = Id3v2Texts(texts, &FromUtf8Bytes);
    tags.id3v2Track =
        FromUtf8Bytes(FieldBytes(texts.Texts[kId3v2Track], sizeof texts.Texts[kId3v2Track]));
  }
  reading.outcome = read ? TagReadOutcome::kRead : TagReadOutcome::kLibraryFailed;
  tags.id3v1 = Id3v1Texts(tag, &FromAnsiBytes);
  tags.id3v1.track = Id3v1Track(texts);
  tags.id3v2Version = Id3v2Version(texts, &FromUtf8Bytes);
  tags.hasId3v1 = RecordHasId3v1(texts);
  tags.shiftJis = RecordHasShiftJis(texts);
  tags.format =
      FromUtf8Bytes(FieldBytes(texts.Texts[kFormatField], sizeof texts.Texts[kFormatField]));
  if (!tags.format.empty()) tags.id3v1 = tags.id3v2;
  return reading;
}

std::optional<FileTags> ReadFileTags(const std::wstring& path) {
  TagReading reading = ReadFileTagsReporting(path);
  if (reading.outcome != TagReadOutcome::kRead) return std::nullopt;
  return std::move(reading.tags);
}

std::optional<FormatInfoRecord> ReadFormatInfo(const std::wstring& path, const FileTags& tags) {
  FormatInfoRecord info{};
  if (g_vbmp3->getFormatInfo) {
    std::optional<std::string> libraryPath = LibraryPath(path);
    if (!libraryPath || !Vbmp3Succeeded(g_vbmp3->getFormatInfo(libraryPath->c_str(), &info)))
      return std::nullopt;
    return info;
  }
  const std::string name = ToUtf8Bytes(tags.format);
  std::memcpy(info.Format, name.data(), std::min(name.size(), sizeof info.Format - 1));
  info.Channels = tags.stream.Channels;
  info.SamplingRate = tags.stream.SamplingRate;
  info.BitRate = tags.stream.BitRate;
  info.TotalSeconds = tags.stream.TotalSeconds;
  info.FileSize = tags.stream.FileSize;
  return info;
}

bool WriteId3v1Tag(const std::string& libraryPath, const TagTexts& texts, int32_t genreNumber) {
  TagRecord tag{};
  win::FillAnsiField(tag.Album, sizeof(tag.Album), texts.album);
  win::FillAnsiField(tag.Artist, sizeof(tag.Artist), texts.artist);
  win::FillAnsiField(tag.Comment, sizeof(tag.Comment), texts.comment);
  win::FillAnsiField(tag.Title, sizeof(tag.Title), texts.title);
  win::FillAnsiField(tag.Year, sizeof(tag.Year), texts.year);
  tag.GenreNumber = genreNumber;
  return g_vbmp3->setTagInfo &&
         Vbmp3Succeeded(g_vbmp3->setTagInfo(libraryPath.c_str(), &tag, 0, 1));
}

namespace {

// UTF-8 cut at a character boundary to what the record's field holds.
void PutUtf8(char (&field)[128], const std::wstring& text) {
  std::string bytes = win::ToUtf8(text);
  if (bytes.size() > sizeof field - 1) {
    size_t n = sizeof field - 1;
    while (n > 0 && (static_cast<unsigned char>(bytes[n]) & 0xC0) == 0x80) --n;
    bytes.resize(n);
  }
  std::memcpy(field, bytes.data(), bytes.size());
}

}  // namespace

bool CanWriteId3v2Texts() {
  return g_vbmp3->setTagTexts != nullptr || g_vbmp3->setTagTextsWhole != nullptr;
}

bool WriteId3v2Texts(const std::string& libraryPath, const Id3v2Values& values,
                     bool repairShiftJis) {
  const int32_t options = repairShiftJis ? VBMP3_TEXTS_REPAIR_SHIFT_JIS : 0;
  if (g_vbmp3->setTagTextsWhole) {
    const std::string block = Id3v2ValueBlock(values, &ToUtf8Bytes);
    return Vbmp3Succeeded(g_vbmp3->setTagTextsWhole(libraryPath.c_str(), block.data(),
                                                    static_cast<int32_t>(block.size()), options));
  }
  if (!g_vbmp3->setTagTexts) return false;
  TagTextsRecord record{};
  PutUtf8(record.Texts[kId3v2Title], values.title);
  PutUtf8(record.Texts[kId3v2Artist], values.artist);
  PutUtf8(record.Texts[kId3v2Album], values.album);
  PutUtf8(record.Texts[kId3v2Year], values.year);
  PutUtf8(record.Texts[kId3v2Comment], values.comment);
  PutUtf8(record.Texts[kId3v2Genre], values.genre);
  PutUtf8(record.Texts[kId3v2Track], values.track);
  return Vbmp3Succeeded(g_vbmp3->setTagTexts(libraryPath.c_str(), &record, options));
}

std::vector<Genre> LibraryGenres() {
  std::vector<Genre> genres;
  if (!g_vbmp3->getGenre) return genres;
  // One record for every call, as the library expects to be asked.
  TagRecord tag{};
  for (int32_t number = 0; number <= 255; ++number) {
    tag.GenreNumber = number;
    g_vbmp3->getGenre(&tag);
    std::wstring name = win::ReadAnsiField(tag.GenreName, sizeof(tag.GenreName));
    if (!name.empty()) genres.push_back({number, std::move(name)});
  }
  return genres;
}

int32_t Vbmp3LastErrorNumber() { return g_vbmp3->getLastErrorNo ? g_vbmp3->getLastErrorNo() : 0; }
