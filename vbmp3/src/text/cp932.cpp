#include "vbmp3/src/text/cp932.h"

#include <array>
#include <cstdint>
#include <memory>

#include "vbmp3/src/text/unicode.h"

namespace vbmp3 {
namespace {

#include "vbmp3/src/text/cp932_table.inc"

constexpr char32_t kHalfWidthFirst = 0xFF61;  // byte 0xA1

bool IsLead(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsHalfWidthKatakana(uint8_t b) { return b >= 0xA1 && b <= 0xDF; }

// The character of the pair `lead`, `trail`, or 0.
char16_t DoubleByte(uint8_t lead, uint8_t trail) {
  if (!IsLead(lead) || trail < 0x40 || trail == 0x7F || trail > 0xFC) return 0;
  const int row = lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + 0x1F;
  const int column = trail < 0x7F ? trail - 0x40 : trail - 0x41;
  return kDoubleByte[row][column];
}

// The character at `bytes[at]`, advancing `at`; 0 (and one byte) when no
// character starts there, `doubleByte` tells a pair.
char32_t NextCp932(std::string_view bytes, size_t& at, bool& doubleByte) {
  const auto b = static_cast<uint8_t>(bytes[at]);
  doubleByte = false;
  if (b < 0x80) {
    ++at;
    return b;
  }
  if (IsHalfWidthKatakana(b)) {
    ++at;
    return kHalfWidthFirst + (b - 0xA1);
  }
  if (at + 1 < bytes.size()) {
    if (const char16_t c = DoubleByte(b, static_cast<uint8_t>(bytes[at + 1]))) {
      at += 2;
      doubleByte = true;
      return c;
    }
  }
  ++at;
  return 0;
}

// UTF-16 unit -> byte pair (lead << 8 | trail), 0 when none. Where the
// table has a character twice, Windows writes the NEC row 13 or the JIS
// pair before the IBM extension (0xFA-0xFC), and that before the
// NEC-selected copy of it (0xED-0xEE): the first pair in this order wins.
const std::array<uint16_t, 0x10000>& Reverse() {
  static const std::unique_ptr<std::array<uint16_t, 0x10000>> table = [] {
    auto t = std::make_unique<std::array<uint16_t, 0x10000>>();
    t->fill(0);
    auto addLead = [&](int lead) {
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        const char16_t c = DoubleByte(static_cast<uint8_t>(lead), static_cast<uint8_t>(trail));
        if (c && !(*t)[c]) (*t)[c] = static_cast<uint16_t>(lead << 8 | trail);
      }
    };
    for (int lead = 0x81; lead <= 0x9F; ++lead) addLead(lead);
    for (int lead = 0xE0; lead <= 0xFC; ++lead) {
      if (lead != 0xED && lead != 0xEE) addLead(lead);
    }
    addLead(0xED);
    addLead(0xEE);
    return t;
  }();
  return *table;
}

}  // namespace

bool IsShiftJisText(std::string_view bytes) {
  bool sawDoubleByte = false;
  for (size_t at = 0; at < bytes.size();) {
    const auto lead = static_cast<uint8_t>(bytes[at]);
    bool pair = false;
    if (NextCp932(bytes, at, pair) == 0 && lead != 0) return false;
    if (pair && lead >= 0xF0 && lead <= 0xF9) return false;
    sawDoubleByte |= pair;
  }
  return sawDoubleByte;
}

std::string Cp932ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  for (size_t at = 0; at < bytes.size();) {
    const auto first = static_cast<uint8_t>(bytes[at]);
    bool pair = false;
    const char32_t c = NextCp932(bytes, at, pair);
    AppendUtf8(out, c == 0 && first != 0 ? kReplacementCharacter : c);
  }
  return out;
}

std::string Utf8ToCp932(std::string_view utf8) {
  const auto& reverse = Reverse();
  std::string out;
  out.reserve(utf8.size());
  for (size_t at = 0; at < utf8.size();) {
    const char32_t c = NextUtf8(utf8, at);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c >= kHalfWidthFirst && c <= kHalfWidthFirst + (0xDF - 0xA1)) {
      out += static_cast<char>(0xA1 + (c - kHalfWidthFirst));
    } else if (c < 0x10000 && reverse[c]) {
      out += static_cast<char>(reverse[c] >> 8);
      out += static_cast<char>(reverse[c] & 0xFF);
    } else {
      out += '?';
    }
  }
  return out;
}

}  // namespace vbmp3
