// ID3v2 tags on any bytes: header, extended header, unsynchronisation,
// frame flags, text encodings, Shift_JIS detection, genres; then the records
// a file starting with those bytes gets.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/text/cp932.h"
#include "vbmp3/src/file_info.h"
#include "vbmp3/src/id3v2/id3v2_tag.h"
#include "vbmp3/src/tag_format.h"
#include "vbmp3/src/text/unicode.h"

namespace {

// Valid UTF-8 that decodes and encodes back to the same bytes, with no NUL
// (NUL ends a value).
void CheckUtf8(std::string_view text) {
  if (text.find('\0') != std::string_view::npos) abort();
  if (vbmp3::ValidUtf8(text) != text) abort();
}

template <size_t N>
std::string_view Field(const char (&field)[N]) {
  const void* nul = std::memchr(field, 0, N);
  if (!nul) abort();  // every record text ends with a NUL in its field
  return std::string_view(field, static_cast<size_t>(static_cast<const char*>(nul) - field));
}

// A code page 932 text of the record converts to Unicode and back unchanged.
template <size_t N>
void CheckCp932(const char (&field)[N]) {
  const std::string_view bytes = Field(field);
  const std::string utf8 = vbmp3::Cp932ToUtf8(bytes);
  if (vbmp3::Utf8ToCp932(utf8) != bytes) abort();
}

bool Same(const vbmp3::Id3v2Tag& a, const vbmp3::Id3v2Tag& b) {
  return a.major == b.major && a.title == b.title && a.artist == b.artist && a.album == b.album &&
         a.year == b.year && a.comment == b.comment && a.genre == b.genre && a.track == b.track &&
         a.genreNumber == b.genreNumber;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact copy: reading a byte past `size` is a heap overflow ASan sees.
  // As a file, the tag is read only up to an ID3v1 tag in the last 128
  // bytes: the same bytes are given to the parser directly.
  const bool id3v1 = size >= 128 && std::memcmp(data + size - 128, "TAG", 3) == 0;
  const std::vector<uint8_t> bytes(data, data + (id3v1 ? size - 128 : size));
  vbmp3::Id3v2Tag tag, again;
  const bool read = vbmp3::ParseId3v2Tag(bytes.data(), bytes.size(), tag);
  if (read != vbmp3::ParseId3v2Tag(bytes.data(), bytes.size(), again) || !Same(tag, again)) abort();
  if (read) {
    if (tag.major < 2 || tag.major > 4) abort();
    for (const std::string* s :
         {&tag.title, &tag.artist, &tag.album, &tag.year, &tag.comment, &tag.genre, &tag.track}) {
      CheckUtf8(*s);
    }
    if (tag.genreNumber != 255 && (tag.genreNumber < 0 || tag.genreNumber > 191)) abort();
  }

  // The same bytes as a file: the records hold what the tag holds, within
  // their fields.
  vbmp3::MemoryFile file(data, size);
  TagRecord record;
  StreamInfoRecord info;
  TagTextsRecord texts;
  vbmp3::TagVersions versions;
  vbmp3::ReadFileInfo(file, &record, &info, &texts, &versions);
  if ((versions.id3v2 != 0) != read) abort();
  for (const auto& text : texts.Texts) CheckUtf8(Field(text));
  // A FLAC file behind the tag has texts of its own.
  if (vbmp3::IsTagFormatFile(file)) return 0;
  if (!read && Field(texts.Texts[0]).size() != 0) abort();
  if (read && versions.id3v1 == 0) {
    CheckCp932(record.Title);
    CheckCp932(record.Artist);
    CheckCp932(record.Album);
    CheckCp932(record.Year);
    CheckCp932(record.Comment);
    CheckCp932(record.GenreName);
    if (Field(record.Title).size() > 30 || Field(record.Comment).size() > 30 ||
        Field(record.Year).size() > 4) {
      abort();
    }
    if (Field(texts.Texts[vbmp3::kTextTitle]) != vbmp3::CutUtf8(tag.title, 127)) abort();
  }
  return 0;
}
