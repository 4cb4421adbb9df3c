#include "vbmp3/src/id3v2/id3v2_text.h"

#include "vbmp3/src/text/cp932.h"
#include "vbmp3/src/text/unicode.h"

namespace vbmp3 {
namespace {

bool IsWide(Id3v2Encoding e) { return e == Id3v2Encoding::Utf16 || e == Id3v2Encoding::Utf16BE; }

// Offset of the terminator of the string at the start of `bytes`, or npos.
size_t TerminatorAt(Id3v2Encoding encoding, std::string_view bytes) {
  if (!IsWide(encoding)) return bytes.find('\0');
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    if (bytes[i] == 0 && bytes[i + 1] == 0) return i;
  }
  return std::string_view::npos;
}

// Bytes that name no Unicode encoding, or claim one they break: Japanese
// taggers wrote Shift_JIS into Latin-1 and UTF-8 frames alike, and Latin-1
// is what any other byte can be read as.
std::string DecodeLegacyBytes(std::string_view bytes, bool& shiftJis) {
  if (!IsShiftJisText(bytes)) return Latin1ToUtf8(bytes);
  shiftJis = true;
  return Cp932ToUtf8(bytes);
}

std::string DecodeOne(Id3v2Encoding encoding, std::string_view bytes, bool& bigEndian,
                      bool& shiftJis) {
  std::string text;
  switch (encoding) {
    case Id3v2Encoding::Latin1: text = DecodeLegacyBytes(bytes, shiftJis); break;
    case Id3v2Encoding::Utf16:
    case Id3v2Encoding::Utf16BE: {
      if (bytes.size() >= 2) {
        const auto b0 = static_cast<uint8_t>(bytes[0]), b1 = static_cast<uint8_t>(bytes[1]);
        if ((b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF)) {
          bigEndian = b0 == 0xFE;
          bytes.remove_prefix(2);
        }
      }
      text = Utf16ToUtf8(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), bigEndian);
      break;
    }
    case Id3v2Encoding::Utf8:
      text = ValidUtf8(bytes);
      if (text != bytes) text = DecodeLegacyBytes(bytes, shiftJis);
      break;
  }
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);  // U+FEFF
  return text;
}

}  // namespace

bool ToId3v2Encoding(uint8_t b, Id3v2Encoding& encoding) {
  if (b > 3) return false;
  encoding = static_cast<Id3v2Encoding>(b);
  return true;
}

std::string_view SplitId3v2String(Id3v2Encoding encoding, std::string_view bytes,
                                  std::string_view& first) {
  const size_t end = TerminatorAt(encoding, bytes);
  if (end == std::string_view::npos) {
    first = bytes;
    return {};
  }
  first = bytes.substr(0, end);
  return bytes.substr(end + (IsWide(encoding) ? 2 : 1));
}

std::vector<std::string> DecodeId3v2Values(Id3v2Encoding encoding, std::string_view bytes,
                                           bool allValues, bool* shiftJis) {
  std::vector<std::string> values;
  bool foundShiftJis = false;
  bool bigEndian = encoding == Id3v2Encoding::Utf16BE;
  while (true) {
    std::string_view value;
    const size_t before = bytes.size();
    bytes = SplitId3v2String(encoding, bytes, value);
    values.push_back(DecodeOne(encoding, value, bigEndian, foundShiftJis));
    const bool terminated = value.size() < before;
    if (!allValues || !terminated || bytes.empty()) break;
  }
  if (shiftJis) *shiftJis = foundShiftJis;
  return values;
}

std::string JoinValues(const std::vector<std::string>& values) {
  std::string out;
  for (size_t i = 0; i < values.size(); ++i) {
    if (i) out += '/';
    out += values[i];
  }
  return out;
}

}  // namespace vbmp3
