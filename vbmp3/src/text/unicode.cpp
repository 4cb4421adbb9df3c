#include "vbmp3/src/text/unicode.h"

namespace vbmp3 {

void AppendUtf8(std::string& out, char32_t c) {
  if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = kReplacementCharacter;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

char32_t NextUtf8(std::string_view text, size_t& at) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t b = byte(at);
  if (b < 0x80) {
    ++at;
    return b;
  }
  size_t length;
  char32_t c;
  char32_t least;
  if (b >= 0xC2 && b <= 0xDF) {
    length = 2, c = b & 0x1F, least = 0x80;
  } else if (b >= 0xE0 && b <= 0xEF) {
    length = 3, c = b & 0x0F, least = 0x800;
  } else if (b >= 0xF0 && b <= 0xF4) {
    length = 4, c = b & 0x07, least = 0x10000;
  } else {
    ++at;
    return kReplacementCharacter;
  }
  if (text.size() - at < length) {
    ++at;
    return kReplacementCharacter;
  }
  for (size_t i = 1; i < length; ++i) {
    const uint8_t t = byte(at + i);
    if ((t & 0xC0) != 0x80) {
      ++at;
      return kReplacementCharacter;
    }
    c = (c << 6) | (t & 0x3F);
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++at;
    return kReplacementCharacter;
  }
  at += length;
  return c;
}

std::string ValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size();) AppendUtf8(out, NextUtf8(text, at));
  return out;
}

std::string Utf16ToUtf8(const uint8_t* p, size_t n, bool bigEndian) {
  std::string out;
  out.reserve(n);
  const auto unit = [&](size_t i) -> char16_t {
    return bigEndian ? static_cast<char16_t>(p[i] << 8 | p[i + 1])
                     : static_cast<char16_t>(p[i + 1] << 8 | p[i]);
  };
  for (size_t i = 0; i + 1 < n; i += 2) {
    const char16_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 3 < n) {
      const char16_t low = unit(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((char32_t{u} - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    AppendUtf8(out, u);  // an unpaired surrogate becomes U+FFFD there
  }
  return out;
}

std::string Latin1ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char b : bytes) AppendUtf8(out, static_cast<uint8_t>(b));
  return out;
}

std::string_view CutUtf8(std::string_view text, size_t width) {
  if (text.size() <= width) return text;
  size_t end = width;
  // Back to the first byte of the character the cut falls in.
  while (end > 0 && (static_cast<uint8_t>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

}  // namespace vbmp3
