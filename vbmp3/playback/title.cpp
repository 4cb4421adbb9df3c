#include "vbmp3/playback/title.h"

#include <cstdint>
#include <cstring>

#include "vbmp3/src/io/file_io.h"
#include "vbmp3/src/id3v1/id3v1.h"
#include "vbmp3/src/tag_format.h"
#include "vbmp3/src/text/cp932.h"

namespace vbmp3::playback {
namespace {

void Put(char* field, size_t width, const std::string& text) {
  const std::string_view cut = CutText(text, width - 1);
  std::memcpy(field, cut.data(), cut.size());
}

// A FLAC, MP4 or Ogg file's title and artist, in code page 932 as the
// library's records carry texts that are Unicode in the file.
bool ReadFormatTexts(RandomAccessFile& file, char* title, char* artist, size_t width) {
  TagFormat format;
  {
    ByteWindow bytes(file, 4096, 64 * 1024);
    format = RecogniseTagFormat(bytes);
  }
  if (format == TagFormat::kNone) return false;
  AudioProperties properties;
  FormatTexts texts;
  if (!ReadTagFormatFile(format, file, properties, texts)) return true;
  for (auto [field, text] : {std::pair{title, &texts.title}, std::pair{artist, &texts.artist}}) {
    const std::string bytes = Utf8ToCp932(*text);
    const std::string_view cut = CutText(bytes, width - 1, &IsCp932LeadByte);
    std::memcpy(field, cut.data(), cut.size());
  }
  return true;
}

}  // namespace

void ReadTagTexts(const std::string& path, char* title, char* artist, size_t width) {
  if (width == 0) return;
  std::memset(title, 0, width);
  std::memset(artist, 0, width);
  int32_t error = 0;
  auto file = vbmp3::OpenFile(path.c_str(), OpenMode::Read, error);
  if (!file || ReadFormatTexts(*file, title, artist, width)) return;
  if (file->Size() < kId3v1Length) return;
  uint8_t bytes[kId3v1Length];
  size_t got = 0;
  if (!file->ReadAt(file->Size() - kId3v1Length, bytes, sizeof(bytes), got) ||
      got != sizeof(bytes)) {
    return;
  }
  Id3v1Tag tag;
  if (!ParseId3v1(bytes, tag)) return;
  Put(title, width, tag.title);
  Put(artist, width, tag.artist);
}

}  // namespace vbmp3::playback
