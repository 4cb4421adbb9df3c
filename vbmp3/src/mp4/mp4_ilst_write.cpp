#include "vbmp3/src/mp4/mp4_ilst_write.h"

#include <optional>

#include "vbmp3/src/io/byte_order.h"
#include "vbmp3/src/text/unicode.h"

namespace vbmp3 {

namespace {

constexpr uint32_t kUtf8DataType = 1;

struct ChangedField {
  uint32_t type;
  const std::optional<std::string>& text;
};

void PutBE32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

std::vector<std::string> SplitValues(const std::string& text) {
  std::vector<std::string> values;
  size_t at = 0;
  while (at <= text.size()) {
    size_t end = text.find("; ", at);
    if (end == std::string::npos) end = text.size();
    if (end > at) values.push_back(ValidUtf8(std::string_view(text).substr(at, end - at)));
    at = end + 2;
  }
  return values;
}

std::vector<ChangedField> ChangedFields(const FormatTextChanges& c) {
  const ChangedField all[] = {{BoxType("\xA9nam"), c.title},
                              {BoxType("\xA9"
                                       "ART"),
                               c.artist},
                              {BoxType("\xA9"
                                       "alb"),
                               c.album},
                              {BoxType("\xA9"
                                       "day"),
                               c.year},
                              {BoxType("\xA9"
                                       "cmt"),
                               c.comment},
                              {BoxType("\xA9gen"), c.genre}};
  std::vector<ChangedField> changed;
  for (const ChangedField& f : all)
    if (f.text) changed.push_back(f);
  return changed;
}

const ChangedField* FieldOf(const std::vector<ChangedField>& changed, uint32_t type) {
  // The gnre item is the genre's too: the new ©gen takes its place.
  if (type == BoxType("gnre")) type = BoxType("\xA9gen");
  for (const ChangedField& f : changed)
    if (f.type == type) return &f;
  return nullptr;
}

void Append(std::vector<uint8_t>& out, const std::vector<uint8_t>& bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

}  // namespace

void PutBoxHeader(std::vector<uint8_t>& out, uint32_t type, uint32_t size) {
  PutBE32(out, size);
  PutBE32(out, type);
}

std::string TextAsRead(const std::string& text) {
  std::string joined;
  for (const std::string& value : SplitValues(text)) {
    if (!joined.empty()) joined += "; ";
    joined += value;
  }
  return joined;
}

std::vector<uint8_t> TextItem(uint32_t type, const std::string& text) {
  std::vector<uint8_t> body;
  for (const std::string& value : SplitValues(text)) {
    PutBoxHeader(body, BoxType("data"), static_cast<uint32_t>(16 + value.size()));
    PutBE32(body, kUtf8DataType);
    PutBE32(body, 0);  // locale
    body.insert(body.end(), value.begin(), value.end());
  }
  std::vector<uint8_t> item;
  if (body.empty()) return item;
  PutBoxHeader(item, type, static_cast<uint32_t>(8 + body.size()));
  Append(item, body);
  return item;
}

bool BuildIlst(RandomAccessFile& file, const Mp4Box* ilst, const FormatTextChanges& changes,
               std::vector<uint8_t>& out) {
  const std::vector<ChangedField> changed = ChangedFields(changes);
  std::vector<bool> placed(changed.size(), false);
  std::vector<uint8_t> body;
  if (ilst) {
    BoxWalker walker(file, *ilst);
    Mp4Box item;
    while (walker.Next(item)) {
      const ChangedField* field = FieldOf(changed, item.type);
      if (!field) {
        const size_t at = body.size();
        body.resize(at + static_cast<size_t>(item.size));
        if (!ReadBytesAt(file, item.offset, body.data() + at, static_cast<size_t>(item.size)))
          return false;
        // "To the end of the ilst" would swallow an item added after it.
        if (item.toEnd) WriteBE32(body.data() + at, static_cast<uint32_t>(item.size));
        continue;
      }
      const size_t index = static_cast<size_t>(field - changed.data());
      if (!placed[index]) Append(body, TextItem(field->type, *field->text));
      placed[index] = true;
    }
    if (walker.Damaged()) return false;
  }
  for (size_t i = 0; i < changed.size(); ++i)
    if (!placed[i]) Append(body, TextItem(changed[i].type, *changed[i].text));
  out.clear();
  PutBoxHeader(out, BoxType("ilst"), static_cast<uint32_t>(8 + body.size()));
  Append(out, body);
  return true;
}

}  // namespace vbmp3
