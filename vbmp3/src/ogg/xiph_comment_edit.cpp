#include "vbmp3/src/ogg/xiph_comment_edit.h"

#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "vbmp3/src/io/byte_order.h"

namespace vbmp3 {
namespace {

struct RawComment {
  std::string_view vendor;
  std::vector<std::string_view> fields;  // each "NAME=value" (or anything) as stored
};

bool TakeLength(const uint8_t* data, size_t size, size_t& at, uint32_t& length) {
  if (size - at < 4) return false;
  length = ReadLE32(data + at);
  at += 4;
  return length <= size - at;
}

bool SplitRaw(const uint8_t* data, size_t size, RawComment& out, size_t& consumed) {
  size_t at = 0;
  uint32_t length = 0, count = 0;
  const char* text = reinterpret_cast<const char*>(data);
  if (!TakeLength(data, size, at, length)) return false;
  out.vendor = std::string_view(text + at, length);
  at += length;
  if (!TakeLength(data, size, at, count) || count > (size - at) / 4) return false;
  out.fields.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    if (!TakeLength(data, size, at, length)) return false;
    out.fields.emplace_back(text + at, length);
    at += length;
  }
  consumed = at;
  return true;
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The field's name, when it is `name` without regard to ASCII case.
bool IsField(std::string_view field, std::string_view name) {
  if (field.size() <= name.size() || field[name.size()] != '=') return false;
  for (size_t i = 0; i < name.size(); ++i)
    if (AsciiUpper(field[i]) != name[i]) return false;
  return true;
}

std::vector<std::string> SplitCommentValues(const std::string& text) {
  std::vector<std::string> values;
  if (text.empty()) return values;
  size_t at = 0;
  for (size_t next; (next = text.find("; ", at)) != std::string::npos; at = next + 2)
    values.push_back(text.substr(at, next - at));
  values.push_back(text.substr(at));
  return values;
}

void PutCommentField(std::vector<uint8_t>& out, std::string_view field) {
  const size_t at = out.size();
  out.resize(at + 4);
  WriteLE32(out.data() + at, static_cast<uint32_t>(field.size()));
  out.insert(out.end(), field.begin(), field.end());
}

// Replaces the fields called `name` in `fields` by `values`, in the first
// one's place and with its spelling of the name.
void ReplaceField(std::vector<std::string>& fields, std::string_view name,
                  const std::string& text) {
  bool found = false;
  size_t place = 0;
  std::string spelled(name);
  std::vector<std::string> kept;
  for (std::string& field : fields) {
    if (!IsField(field, name)) {
      kept.push_back(std::move(field));
    } else if (!found) {
      found = true;
      place = kept.size();
      spelled = field.substr(0, name.size());
    }
  }
  if (!found) place = kept.size();
  std::vector<std::string> added;
  for (const std::string& value : SplitCommentValues(text)) added.push_back(spelled + "=" + value);
  kept.insert(kept.begin() + static_cast<std::ptrdiff_t>(place), added.begin(), added.end());
  fields = std::move(kept);
}

}  // namespace

bool EditXiphComment(const uint8_t* data, size_t size, const FormatTextChanges& changes,
                     std::vector<uint8_t>& out, size_t& consumed) {
  RawComment raw;
  if (!SplitRaw(data, size, raw, consumed)) return false;
  std::vector<std::string> fields(raw.fields.begin(), raw.fields.end());
  const std::array<std::pair<const std::optional<std::string>*, std::string_view>, 6> boxes = {{
      {&changes.title, "TITLE"},
      {&changes.artist, "ARTIST"},
      {&changes.album, "ALBUM"},
      {&changes.year, "DATE"},
      {&changes.comment, "COMMENT"},
      {&changes.genre, "GENRE"},
  }};
  for (const auto& [text, name] : boxes)
    if (*text) ReplaceField(fields, name, **text);
  out.clear();
  PutCommentField(out, raw.vendor);
  const size_t countAt = out.size();
  out.resize(countAt + 4);
  WriteLE32(out.data() + countAt, static_cast<uint32_t>(fields.size()));
  for (const std::string& field : fields) PutCommentField(out, field);
  return true;
}

}  // namespace vbmp3
