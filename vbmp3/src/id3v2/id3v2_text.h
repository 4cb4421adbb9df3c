// Encoded strings of ID3v2 frames: the encoding byte (ISO-8859-1, UTF-16
// with BOM, UTF-16BE, UTF-8), NUL terminators and separators. Every text
// comes out as valid UTF-8.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vbmp3 {

enum class Id3v2Encoding : uint8_t { Latin1 = 0, Utf16 = 1, Utf16BE = 2, Utf8 = 3 };

// Reads the encoding byte `b`; false for a value no version defines.
bool ToId3v2Encoding(uint8_t b, Id3v2Encoding& encoding);

// The values of a text in `encoding`. With `allValues` (2.4) NULs separate
// values; before 2.4 the text ends at its first NUL. A final terminator
// makes no empty value. "ISO-8859-1" bytes, and "UTF-8" bytes that are not
// UTF-8, are read as code page 932 when they are Shift_JIS text (many
// Japanese taggers wrote it there), else as ISO-8859-1; a UTF-16
// value without a byte order mark keeps the order of the one before it
// (little endian at first); a leading U+FEFF is dropped.
// `shiftJis`, when given, is set when a value was read as code page 932.
std::vector<std::string> DecodeId3v2Values(Id3v2Encoding encoding, std::string_view bytes,
                                           bool allValues, bool* shiftJis = nullptr);

// Splits `bytes` after the first string in `encoding` and its terminator:
// `first` is that string's bytes, the rest is returned. Without a
// terminator, everything is `first` and nothing is left.
std::string_view SplitId3v2String(Id3v2Encoding encoding, std::string_view bytes,
                                  std::string_view& first);

// The values joined with "/", as one text.
std::string JoinValues(const std::vector<std::string>& values);

}  // namespace vbmp3
