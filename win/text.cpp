#include "win/text.h"

#include <windows.h>

#include <cstring>

namespace win {
namespace {

// lostCharacter: what a character the code page lacks becomes; nullptr for
// the code page's own choice (a look-alike where it has one).
std::string Narrow(UINT codePage, std::wstring_view text, DWORD flags = 0,
                   const char* lostCharacter = nullptr) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr,
                              0, lostCharacter, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), out.data(), n,
                      lostCharacter, nullptr);
  return out;
}

std::wstring Widen(UINT codePage, std::string_view bytes) {
  if (bytes.empty()) return {};
  int n =
      MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  return out;
}

}  // namespace

std::string ToAnsi(std::wstring_view text) { return Narrow(CP_ACP, text); }
std::wstring FromAnsi(std::string_view bytes) { return Widen(CP_ACP, bytes); }
std::string ToAnsiWithoutLookAlikes(std::wstring_view text) {
  return Narrow(CP_ACP, text, WC_NO_BEST_FIT_CHARS, "?");
}
std::string ToUtf8(std::wstring_view text) { return Narrow(CP_UTF8, text); }
std::wstring FromUtf8(std::string_view bytes) { return Widen(CP_UTF8, bytes); }

void FillAnsiField(char* field, size_t width, std::wstring_view text) {
  std::string ansi = ToAnsi(text);
  size_t keep = 0;
  // Walk whole characters so a double-byte character is never split.
  while (keep < ansi.size()) {
    size_t step = IsDBCSLeadByte(static_cast<BYTE>(ansi[keep])) && keep + 1 < ansi.size() ? 2 : 1;
    if (keep + step > width) break;
    keep += step;
  }
  std::memcpy(field, ansi.data(), keep);
  std::memset(field + keep, ' ', width - keep);
}

std::wstring ReadAnsiField(const char* field, size_t width) {
  size_t n = 0;
  while (n < width && field[n] != '\0') ++n;
  return FromAnsi(std::string_view(field, n));
}

}  // namespace win
