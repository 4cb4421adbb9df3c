#include "vbmp3/playback/title.h"

#include <cstdint>
#include <cstring>

#include "vbmp3/src/io/file_io.h"
#include "vbmp3/src/id3v1/id3v1.h"

namespace vbmp3::playback {
namespace {

void Put(char* field, size_t width, const std::string& text) {
  const std::string_view cut = CutText(text, width - 1);
  std::memcpy(field, cut.data(), cut.size());
}

}  // namespace

void ReadTagTexts(const std::string& path, char* title, char* artist, size_t width) {
  if (width == 0) return;
  std::memset(title, 0, width);
  std::memset(artist, 0, width);
  int32_t error = 0;
  auto file = vbmp3::OpenFile(path.c_str(), OpenMode::Read, error);
  if (!file || file->Size() < kId3v1Length) return;
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
