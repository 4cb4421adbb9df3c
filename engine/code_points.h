// Walking a wide text by code points: where wchar_t holds UTF-16 (Windows),
// a surrogate pair is one code point; a lone surrogate stands for itself.
#pragma once
#include <cstddef>
#include <string>

struct CodePoint {
  char32_t value;
  size_t length;  // in wchar_t
};

inline CodePoint CodePointAt(const std::wstring& text, size_t i) {
  const auto c = static_cast<char32_t>(text[i]);
  if (sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
    const auto low = static_cast<char32_t>(text[i + 1]);
    if (low >= 0xDC00 && low <= 0xDFFF) return {0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00), 2};
  }
  return {c, 1};
}
