#include "vbmp3/src/whole_texts.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "vbmp3/src/file_info.h"
#include "vbmp3/src/last_error.h"
#include "vbmp3/src/tag_texts_write.h"

namespace vbmp3 {

std::string JoinValueBlock(const Id3v2Values& values) {
  std::string block;
  for (const std::string& value : values) {
    // A value never holds a NUL (the reader ends or splits texts there), but
    // one must not shift the values after it.
    block.append(value, 0, value.find('\0'));
    block += '\0';
  }
  return block;
}

bool SplitValueBlock(const char* block, size_t size, Id3v2Values& values) {
  values = Id3v2Values{};
  size_t at = 0;
  for (std::string& value : values) {
    const void* nul = at < size ? std::memchr(block + at, 0, size - at) : nullptr;
    if (!nul) return false;
    const size_t end = static_cast<size_t>(static_cast<const char*>(nul) - block);
    value.assign(block + at, end - at);
    at = end + 1;
  }
  return true;
}

int32_t GetFileInfoWhole(const char* path, TagRecord* tag, StreamInfoRecord* info,
                         TagTextsRecord* texts, char* values, int32_t size, int32_t* needed) {
  if (size < 0 || (size > 0 && !values)) {
    SetLastErrorNo(VBMP3_ERR_BAD_ARGUMENT);
    return 0;
  }
  Id3v2Values read;
  CollectionTexts collection;
  const int32_t result = GetFileInfo(path, tag, info, texts, &read, &collection);
  const int32_t error = LastErrorNo();
  // After the seven values, the album artist and the disc: a reader that
  // knows only the seven stops before them.
  std::string block = JoinValueBlock(read);
  for (const std::string* more : {&collection.albumArtist, &collection.disc}) {
    block.append(*more, 0, more->find('\0'));
    block += '\0';
  }
  const auto room = static_cast<size_t>(size);
  if (needed) *needed = static_cast<int32_t>(std::min<size_t>(block.size(), INT32_MAX));
  // Too little room: empty values rather than cut ones, which a caller
  // could take for the tag's.
  if (values) std::memset(values, 0, room);
  if (block.size() <= room) std::memcpy(values, block.data(), block.size());
  SetLastErrorNo(error);
  return result;
}

int32_t SetTagTextsWhole(const char* path, const char* values, int32_t size, int32_t options) {
  Id3v2Values split;
  if (!values || size < 0 || !SplitValueBlock(values, static_cast<size_t>(size), split)) {
    SetLastErrorNo(VBMP3_ERR_BAD_ARGUMENT);
    return 0;
  }
  return SetTagValues(path, split, options, true);
}

}  // namespace vbmp3
