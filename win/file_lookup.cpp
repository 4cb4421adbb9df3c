#include "win/file_lookup.h"

#include <windows.h>

namespace win {

Lookup LookupNormalFile(const std::wstring& pattern) {
  if (pattern.empty()) return Lookup::NotFound;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
        error == ERROR_NO_MORE_FILES)
      return Lookup::NotFound;
    return Lookup::Failed;
  }
  constexpr DWORD kNotNormal =
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
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
