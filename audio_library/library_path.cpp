#include "audio_library/library_path.h"

#include "win/text.h"

win::Seam<decltype(&GetShortPathNameW)> g_getShortPathName{&GetShortPathNameW};

namespace {

// The ANSI form of text, or nothing when a character does not survive the
// round trip (dropped, replaced by '?', or best-fitted to a look-alike).
std::optional<std::string> ExactAnsi(const std::wstring& text) {
  std::string ansi = win::ToAnsi(text);
  if (win::FromAnsi(ansi) != text) return std::nullopt;
  return ansi;
}

// Every character the code page lacks becomes '?', never a look-alike: a
// wildcard is no file name, so the path names no file.
std::string NoFileAnsi(const std::wstring& text) { return win::ToAnsiWithoutLookAlikes(text); }

}  // namespace

std::optional<std::string> LibraryPath(const std::wstring& path) {
  if (std::optional<std::string> exact = ExactAnsi(path)) return exact;
  DWORD n = (*g_getShortPathName)(path.c_str(), nullptr, 0);
  if (n == 0) {
    // Only a file that is there has a short name to look up.
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
      DWORD error = GetLastError();
      if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return NoFileAnsi(path);
    }
    return std::nullopt;
  }
  std::wstring shortPath(n, L'\0');
  n = (*g_getShortPathName)(path.c_str(), shortPath.data(), n);
  if (n == 0 || n >= shortPath.size()) return std::nullopt;
  shortPath.resize(n);
  // A component without a short name stays long, and may still be beyond
  // the code page.
  return ExactAnsi(shortPath);
}

std::wstring UnreachablePathMessage(const std::wstring& path) {
  return path +
         L"\r\nファイル名にANSI文字コードで表せない文字があり、"
         L"短いファイル名(8.3形式)もないため、このファイルは扱えません。";
}
