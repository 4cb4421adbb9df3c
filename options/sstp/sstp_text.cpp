#include "options/sstp/sstp_text.h"

namespace sstp {

std::wstring CutAtNull(std::wstring_view text) {
  return std::wstring(text.substr(0, text.find(L'\0')));
}

std::wstring TrimLeadingBreaks(std::wstring_view text) {
  // Only a buffer-filled text (one with a NUL in it) carries the library's
  // leading line breaks; any other text is the caller's own.
  if (text.find(L'\0') == std::wstring_view::npos) return std::wstring(text);
  size_t start = text.find_first_not_of(std::wstring_view(L"\0\r\n", 3));
  if (start == std::wstring_view::npos) return std::wstring();
  return std::wstring(text.substr(start));
}

std::wstring CleanText(std::wstring_view text) { return CutAtNull(TrimLeadingBreaks(text)); }

}  // namespace sstp
