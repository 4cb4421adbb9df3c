#include "audio_library/tag_access.h"

#include "audio_library/library_path.h"
#include "audio_library/vbmp3_api.h"
#include "win/text.h"

namespace {

std::wstring FromAnsiBytes(std::string_view bytes) { return win::FromAnsi(bytes); }
std::wstring FromUtf8Bytes(std::string_view bytes) { return win::FromUtf8(bytes); }

}  // namespace

bool Vbmp3Succeeded(int32_t result) { return (result & 0xFFFF) != 0; }

TagReading ReadFileTagsReporting(const std::wstring& path) {
  TagReading reading;
  if (!g_vbmp3.getFileInfo2) return reading;
  std::optional<std::string> libraryPath = LibraryPath(path);
  if (!libraryPath) {
    reading.outcome = TagReadOutcome::kUnreachablePath;
    return reading;
  }
  TagRecord tag{};
  TagTextsRecord texts{};
  bool read = Vbmp3Succeeded(g_vbmp3.getFileInfo2(libraryPath->c_str(), &tag, &reading.tags.stream, &texts));
  reading.outcome = read ? TagReadOutcome::kRead : TagReadOutcome::kLibraryFailed;
  reading.tags.id3v1 = Id3v1Texts(tag, &FromAnsiBytes);
  reading.tags.id3v1.track = Id3v1Track(texts);
  reading.tags.id3v2 = Id3v2Texts(texts, &FromUtf8Bytes);
  reading.tags.id3v2Version = Id3v2Version(texts, &FromUtf8Bytes);
  return reading;
}

std::optional<FileTags> ReadFileTags(const std::wstring& path) {
  TagReading reading = ReadFileTagsReporting(path);
  if (reading.outcome != TagReadOutcome::kRead) return std::nullopt;
  return std::move(reading.tags);
}

bool WriteId3v1Tag(const std::string& libraryPath, const TagTexts& texts, int32_t genreNumber) {
  TagRecord tag{};
  win::FillAnsiField(tag.Album, sizeof(tag.Album), texts.album);
  win::FillAnsiField(tag.Artist, sizeof(tag.Artist), texts.artist);
  win::FillAnsiField(tag.Comment, sizeof(tag.Comment), texts.comment);
  win::FillAnsiField(tag.Title, sizeof(tag.Title), texts.title);
  win::FillAnsiField(tag.Year, sizeof(tag.Year), texts.year);
  tag.GenreNumber = genreNumber;
  return g_vbmp3.setTagInfo && Vbmp3Succeeded(g_vbmp3.setTagInfo(libraryPath.c_str(), &tag, 0, 1));
}

std::vector<Genre> LibraryGenres() {
  std::vector<Genre> genres;
  if (!g_vbmp3.getGenre) return genres;
  // One record for every call, as the library expects to be asked.
  TagRecord tag{};
  for (int32_t number = 0; number <= 255; ++number) {
    tag.GenreNumber = number;
    g_vbmp3.getGenre(&tag);
    std::wstring name = win::ReadAnsiField(tag.GenreName, sizeof(tag.GenreName));
    if (!name.empty()) genres.push_back({number, std::move(name)});
  }
  return genres;
}

int32_t Vbmp3LastErrorNumber() { return g_vbmp3.getLastErrorNo ? g_vbmp3.getLastErrorNo() : 0; }
