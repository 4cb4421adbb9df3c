// UTF-8 and UTF-16 as the ID3v2 frames hold them, and UTF-8 as the library
// hands texts out: decoding that never fails (a broken sequence becomes
// U+FFFD) and cutting that never splits a character.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vbmp3 {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// Appends `c` as UTF-8; surrogates and values past U+10FFFF become U+FFFD.
void AppendUtf8(std::string& out, char32_t c);

// The character at `text[at]`, advancing `at` past it. An invalid, overlong
// or cut sequence, or an encoded surrogate, gives U+FFFD and advances by
// one byte.
char32_t NextUtf8(std::string_view text, size_t& at);

// `text` with every invalid sequence replaced by U+FFFD: valid UTF-8.
std::string ValidUtf8(std::string_view text);

// UTF-16 code units (two bytes each, big or little endian) as UTF-8; an odd
// last byte is dropped, an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(const uint8_t* p, size_t n, bool bigEndian);

// ISO-8859-1 bytes as UTF-8.
std::string Latin1ToUtf8(std::string_view bytes);

// The longest prefix of valid UTF-8 `text` of at most `width` bytes that
// does not end inside a character.
std::string_view CutUtf8(std::string_view text, size_t width);

}  // namespace vbmp3
