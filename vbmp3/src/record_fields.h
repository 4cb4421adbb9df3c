// Texts put into the fixed-width fields of the C interface's records, each
// cut at a character boundary and followed by NULs.
#pragma once
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "vbmp3/src/id3v1/id3v1.h"
#include "vbmp3/src/text/cp932.h"
#include "vbmp3/src/text/unicode.h"

namespace vbmp3 {

// Bytes of the system's code page; leaves room for the NUL callers need.
template <size_t N>
void PutText(char (&field)[N], std::string_view text) {
  std::memset(field, 0, N);
  const std::string_view cut = CutText(text, N - 1);
  if (!cut.empty()) std::memcpy(field, cut.data(), cut.size());
}

template <size_t N>
void PutUtf8(char (&field)[N], std::string_view utf8) {
  std::memset(field, 0, N);
  const std::string_view cut = CutUtf8(utf8, N - 1);
  if (!cut.empty()) std::memcpy(field, cut.data(), cut.size());
}

// A UTF-8 text as an ID3v1 field of `width` bytes would hold it: code page
// 932, whatever the system's, since that is what the record carries.
template <size_t N>
void PutCp932(char (&field)[N], const std::string& utf8, size_t width) {
  std::memset(field, 0, N);
  const std::string bytes = Utf8ToCp932(utf8);
  const std::string_view cut = CutText(bytes, std::min(width, N - 1), &IsCp932LeadByte);
  if (!cut.empty()) std::memcpy(field, cut.data(), cut.size());
}

}  // namespace vbmp3
