// Existence as the program defines it: a directory lookup with the path as
// search pattern that finds a normal file. Wildcards match as patterns;
// hidden files, system files and directories are never found.
#pragma once
#include <string>

namespace win {

enum class Lookup { Found, NotFound, Failed };

// Failed: the platform rejected the pattern itself (a bad name, say);
// a missing file or directory is NotFound.
Lookup LookupNormalFile(const std::wstring& pattern);
inline bool NormalFileExists(const std::wstring& path) {
  return LookupNormalFile(path) == Lookup::Found;
}

}  // namespace win
