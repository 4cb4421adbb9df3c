#include "vbmp3/src/mp4/mp4_ilst.h"

#include "vbmp3/src/io/byte_order.h"
#include "vbmp3/src/text/unicode.h"
#include "vbmp3/src/id3v1/genre.h"

namespace vbmp3 {

namespace {

constexpr uint32_t kImplicit = 0;
constexpr uint32_t kUtf8 = 1;
constexpr uint32_t kUtf16 = 2;
// No field this program shows needs more; a larger item is skipped rather
// than read.
constexpr uint64_t kItemLimit = 1 << 20;

bool IsTextItem(uint32_t type) {
  return type == BoxType("\xA9nam") ||
         type == BoxType(
                     "\xA9"
                     "ART") ||
         type == BoxType(
                     "\xA9"
                     "alb") ||
         type == BoxType(
                     "\xA9"
                     "day") ||
         type == BoxType(
                     "\xA9"
                     "cmt") ||
         type == BoxType("\xA9gen") || type == BoxType("aART");
}

std::string NumberPair(const Mp4DataValue& value) {
  // Two bytes of padding, the number, the total (then padding in trkn).
  if (value.size < 6) return {};
  const unsigned number = (unsigned{value.bytes[2]} << 8) | value.bytes[3];
  const unsigned total = (unsigned{value.bytes[4]} << 8) | value.bytes[5];
  std::string text = std::to_string(number);
  if (total != 0) {
    text += '/';
    text += std::to_string(total);
  }
  return text;
}

std::string GenreText(const Mp4DataValue& value) {
  if (value.size == 0 || value.size > 4 || value.typeCode == kUtf8) return {};
  uint32_t number = 0;
  for (size_t i = 0; i < value.size; ++i) number = (number << 8) | value.bytes[i];
  if (number == 0 || number > static_cast<uint32_t>(kGenreCount)) return {};
  return std::string(GenreName(static_cast<int>(number - 1)));
}

bool DayStartsWithYear(const std::string& date) {
  if (date.size() < 4) return false;
  for (size_t i = 0; i < 4; ++i)
    if (date[i] < '0' || date[i] > '9') return false;
  return true;
}

std::string ItemText(RandomAccessFile& file, const Mp4Box& item) {
  std::string joined;
  BoxWalker walker(file, item);
  Mp4Box data;
  std::vector<uint8_t> body;
  Mp4DataValue value;
  while (walker.Next(data)) {
    if (data.type != BoxType("data") || !ReadBody(file, data, kItemLimit, body)) continue;
    if (!ParseDataBody(body.data(), body.size(), value)) continue;
    std::string text = ItemValueText(item.type, value);
    if (text.empty()) continue;
    if (!joined.empty()) joined += "; ";
    joined += text;
  }
  return joined;
}

std::string* TextFieldOfItem(uint32_t type, FormatTexts& texts, std::string& genreNumber) {
  switch (type) {
    case BoxType("\xA9nam"): return &texts.title;
    case BoxType(
        "\xA9"
        "ART"):
      return &texts.artist;
    case BoxType(
        "\xA9"
        "alb"):
      return &texts.album;
    case BoxType(
        "\xA9"
        "day"):
      return &texts.year;
    case BoxType(
        "\xA9"
        "cmt"):
      return &texts.comment;
    case BoxType("\xA9gen"): return &texts.genre;
    case BoxType("aART"): return &texts.albumArtist;
    case BoxType("trkn"): return &texts.track;
    case BoxType("disk"): return &texts.disc;
    case BoxType("gnre"): return &genreNumber;
    default: return nullptr;
  }
}

}  // namespace

bool ParseDataBody(const uint8_t* body, size_t size, Mp4DataValue& value) {
  if (size < 8) return false;
  value.typeCode = ReadBE32(body) & 0xFFFFFF;
  value.bytes = body + 8;
  value.size = size - 8;
  return true;
}

std::string ItemValueText(uint32_t itemType, const Mp4DataValue& value) {
  if (itemType == BoxType("trkn") || itemType == BoxType("disk")) return NumberPair(value);
  if (itemType == BoxType("gnre")) return GenreText(value);
  if (!IsTextItem(itemType)) return {};
  // A text item's implicit type is UTF-8, the only one its writers use.
  if (value.typeCode == kUtf8 || value.typeCode == kImplicit)
    return ValidUtf8(std::string_view(reinterpret_cast<const char*>(value.bytes), value.size));
  if (value.typeCode == kUtf16) return Utf16ToUtf8(value.bytes, value.size, true);
  return {};
}

void ReadIlstTexts(RandomAccessFile& file, const Mp4Box& ilst, FormatTexts& texts) {
  std::string genreNumber;
  BoxWalker walker(file, ilst);
  Mp4Box item;
  while (walker.Next(item)) {
    std::string* field = TextFieldOfItem(item.type, texts, genreNumber);
    if (field == nullptr || item.BodySize() > kItemLimit) continue;
    // A track or disc number is one value: the first item says it. A text
    // item that comes again adds its values, as a second data box would.
    const bool isPair = item.type == BoxType("trkn") || item.type == BoxType("disk");
    if (isPair && !field->empty()) continue;
    const std::string text = ItemText(file, item);
    if (text.empty()) continue;
    if (!field->empty()) *field += "; ";
    *field += text;
  }
  if (DayStartsWithYear(texts.year)) texts.year.resize(4);
  if (texts.genre.empty()) texts.genre = genreNumber;
}

}  // namespace vbmp3
