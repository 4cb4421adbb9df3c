#include "vbmp3/src/ogg/xiph_comment.h"

namespace vbmp3 {

namespace {

// A little-endian 32-bit length at data[at], with at least that many bytes
// after it; false when the structure would run past its end.
bool ReadLength(const uint8_t* data, size_t size, size_t& at, uint32_t& length) {
  if (size - at < 4) return false;
  length = uint32_t{data[at]} | (uint32_t{data[at + 1]} << 8) | (uint32_t{data[at + 2]} << 16) |
           (uint32_t{data[at + 3]} << 24);
  at += 4;
  return length <= size - at;
}

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

std::string Joined(const XiphComment& comment, std::string_view name) {
  std::string text;
  for (const std::string& value : XiphValues(comment, name)) {
    if (!text.empty()) text += "; ";
    text += value;
  }
  return text;
}

std::string FirstOf(const XiphComment& comment, std::string_view first, std::string_view second) {
  std::string text = Joined(comment, first);
  return text.empty() ? Joined(comment, second) : text;
}

bool StartsWithYear(const std::string& date) {
  if (date.size() < 4) return false;
  for (size_t i = 0; i < 4; ++i)
    if (date[i] < '0' || date[i] > '9') return false;
  return true;
}

}  // namespace

bool ParseXiphComment(const uint8_t* data, size_t size, XiphComment& out) {
  out = {};
  size_t at = 0;
  uint32_t length = 0;
  if (!ReadLength(data, size, at, length)) return false;
  out.vendor.assign(reinterpret_cast<const char*>(data + at), length);
  at += length;
  uint32_t count = 0;
  if (!ReadLength(data, size, at, count)) return false;
  // Each field takes four bytes at least: a count the bytes cannot hold is
  // damage, found before anything is reserved for it.
  if (count > (size - at) / 4) return false;
  out.fields.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    if (!ReadLength(data, size, at, length)) return false;
    std::string_view field(reinterpret_cast<const char*>(data + at), length);
    at += length;
    const size_t equals = field.find('=');
    if (equals == std::string_view::npos) continue;
    out.fields.emplace_back(std::string(field.substr(0, equals)),
                            std::string(field.substr(equals + 1)));
  }
  return true;
}

std::vector<std::string> XiphValues(const XiphComment& comment, std::string_view name) {
  std::vector<std::string> values;
  for (const auto& [field, value] : comment.fields)
    if (SameIgnoringAsciiCase(field, name)) values.push_back(value);
  return values;
}

FormatTexts TextsFromXiphComment(const XiphComment& comment) {
  FormatTexts texts;
  texts.title = Joined(comment, "TITLE");
  texts.artist = Joined(comment, "ARTIST");
  texts.album = Joined(comment, "ALBUM");
  texts.year = FirstOf(comment, "DATE", "YEAR");
  if (StartsWithYear(texts.year)) texts.year.resize(4);
  texts.comment = FirstOf(comment, "COMMENT", "DESCRIPTION");
  texts.genre = Joined(comment, "GENRE");
  texts.track = Joined(comment, "TRACKNUMBER");
  texts.albumArtist = Joined(comment, "ALBUMARTIST");
  texts.disc = Joined(comment, "DISCNUMBER");
  return texts;
}

}  // namespace vbmp3
