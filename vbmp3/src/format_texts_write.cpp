#include "vbmp3/src/format_texts_write.h"

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/flac/flac_comment_write.h"
#include "vbmp3/src/mp4/mp4_write.h"
#include "vbmp3/src/ogg/ogg_comment_write.h"
#include "vbmp3/src/text/unicode.h"

namespace vbmp3 {
namespace {

// The record's fields hold 127 bytes of UTF-8.
constexpr size_t kRecordTextBytes = 127;

void Compare(std::optional<std::string>& change, const std::string& current,
             const std::string& value, bool wholeValues) {
  if (value == current) return;
  if (!wholeValues && value == CutUtf8(current, kRecordTextBytes)) return;
  change = value;
}

}  // namespace

FormatTextChanges ChangesTo(const FormatTexts& current, const Id3v2Values& values,
                            bool wholeValues) {
  FormatTextChanges changes;
  Compare(changes.title, current.title, values[0], wholeValues);
  Compare(changes.artist, current.artist, values[1], wholeValues);
  Compare(changes.album, current.album, values[2], wholeValues);
  Compare(changes.year, current.year, values[3], wholeValues);
  Compare(changes.comment, current.comment, values[4], wholeValues);
  Compare(changes.genre, current.genre, values[5], wholeValues);
  return changes;
}

bool CanWriteTagFormat(TagFormat format) { return format != TagFormat::kNone; }

int32_t WriteFormatValues(TagFormat format, RandomAccessFile& file, const Id3v2Values& values,
                          bool wholeValues, const ReplacementSource& replacement, bool& replaced) {
  replaced = false;
  AudioProperties properties;
  FormatTexts current;
  if (!ReadTagFormatFile(format, file, properties, current)) return VBMP3_ERR_NOT_AUDIO;
  const FormatTextChanges changes = ChangesTo(current, values, wholeValues);
  if (!changes.Any()) return VBMP3_ERR_NONE;
  switch (format) {
    case TagFormat::kOgg: return WriteOggTexts(file, changes, replacement, replaced);
    case TagFormat::kMp4: return WriteMp4Texts(file, changes, replacement, replaced);
    case TagFormat::kFlac: return WriteFlacTexts(file, changes, replacement, replaced);
    case TagFormat::kNone: break;
  }
  return VBMP3_ERR_TAG_NOT_REWRITABLE;
}

}  // namespace vbmp3
