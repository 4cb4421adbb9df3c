// Tags on any bytes: ID3v1/ID3v1.1, ID3v2 skipping, APE and Lyrics3
// detection, and a tag write that must keep every byte it does not own.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/file_info.h"
#include "vbmp3/src/id3v1/id3v1.h"
#include "vbmp3/src/tag_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  // The first bytes make the record to write, the rest is the file.
  TagRecord record;
  std::memset(&record, ' ', sizeof record);
  const size_t recordBytes = size < 64 ? size / 2 : 32;
  std::memcpy(record.Title, data, recordBytes);
  std::memcpy(record.Comment, data, recordBytes);
  record.GenreNumber = static_cast<int8_t>(data[0]);
  std::memset(record.GenreName, 0, sizeof record.GenreName);
  const uint8_t* bytes = data + recordBytes;
  const size_t length = size - recordBytes;

  if (length >= vbmp3::kId3v1Length) {
    vbmp3::Id3v1Tag tag;
    if (vbmp3::ParseId3v1(bytes + length - vbmp3::kId3v1Length, tag)) {
      uint8_t rebuilt[vbmp3::kId3v1Length];
      vbmp3::BuildId3v1(tag, rebuilt);
      vbmp3::Id3v1Tag again;
      // What was read writes back to the same texts.
      if (!vbmp3::ParseId3v1(rebuilt, again) || again.title != tag.title ||
          again.comment != tag.comment || again.track != tag.track || again.genre != tag.genre) {
        abort();
      }
    }
  }

  vbmp3::MemoryFile file(bytes, length);
  TagRecord read;
  StreamInfoRecord info;
  TagTextsRecord texts;
  vbmp3::ReadFileInfo(file, &read, &info, &texts);
  if (read.Title[sizeof read.Title - 1] != 0 || read.Year[sizeof read.Year - 1] != 0) abort();

  vbmp3::TagPlace place;
  {
    vbmp3::ByteWindow window(file);
    place = vbmp3::FindTag(window);
  }
  const int32_t error = vbmp3::WriteTagInfo(file, record);
  const auto& after = file.Bytes();
  if (error) {
    if (after.size() != length || (length && std::memcmp(after.data(), bytes, length) != 0))
      abort();
    return 0;
  }
  // Success: the file grew at its end or changed in its old tag, and for
  // RIFF in the form's size field; no other byte moved.
  if (after.size() < length || after.size() > length + 137) abort();
  for (size_t i = 0; i < length; ++i) {
    const bool inTag = place.found && i >= place.offset && i < place.offset + vbmp3::kId3v1Length;
    const bool sizeField = place.riff && i >= 4 && i < 8;
    // A raw tag after a RIFF form becomes a chunk: header and tag from its start.
    const bool converted = place.riff && !place.inChunk && i >= place.riffEnd;
    if (after[i] != bytes[i] && !inTag && !sizeField && !converted) abort();
  }
  TagRecord back;
  if (vbmp3::ReadFileInfo(file, &back, &info, nullptr) != 0) abort();
  return 0;
}
