#include "win/file_lookup.h"

#include <windows.h>

namespace win {

namespace {

constexpr DWORD kNotNormal =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

// A pattern without wildcards names one entry, and the pattern rules a
// trailing dot or space bring in do not apply; such a name is asked for
// directly, which costs one lookup instead of a directory search.
bool NamesOneEntry(const std::wstring& pattern) {
  if (pattern.find_first_of(L"*?<>\"") != std::wstring::npos) return false;
  wchar_t last = pattern.back();
  return last != L'.' && last != L' ' && last != L'\\' && last != L'/';
}

}  // namespace

Lookup LookupNormalFile(const std::wstring& pattern) {
  if (pattern.empty()) return Lookup::NotFound;
  if (NamesOneEntry(pattern)) {
    DWORD attributes = GetFileAttributesW(pattern.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
      return (attributes & kNotNormal) == 0 ? Lookup::Found : Lookup::NotFound;
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return Lookup::NotFound;
    // Anything else is classified as the directory search classifies it.
  }
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
        error == ERROR_NO_MORE_FILES)
      return Lookup::NotFound;
    return Lookup::Failed;
  }
  Lookup result = Lookup::NotFound;
  do {
    if ((data.dwFileAttributes & kNotNormal) == 0) {
      result = Lookup::Found;
      break;
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return result;
}

}  // namespace win
