#include "engine/file_identity.h"

namespace {

// The end of the next path component starting at from: the backslash after
// it, or the text's end.
size_t ComponentEnd(std::wstring_view path, size_t from) {
  size_t end = path.find(L'\\', from);
  return end == std::wstring_view::npos ? path.size() : end;
}

bool IsDrive(std::wstring_view path, size_t at) {
  return path.size() >= at + 2 && path[at + 1] == L':' &&
         ((path[at] >= L'A' && path[at] <= L'Z') || (path[at] >= L'a' && path[at] <= L'z'));
}

// "server\share" starting at from, or empty when either part is missing.
std::wstring ShareRoot(std::wstring_view path, size_t from) {
  size_t server = ComponentEnd(path, from);
  if (server == from || server >= path.size()) return L"";
  size_t share = ComponentEnd(path, server + 1);
  if (share == server + 1) return L"";
  return std::wstring(path.substr(0, share)) + L"\\";
}

}  // namespace

std::wstring VolumeRootOf(std::wstring_view path) {
  size_t at = 0;
  if (path.substr(0, 4) == L"\\\\?\\" || path.substr(0, 4) == L"\\\\.\\") {
    at = 4;
    if (path.substr(at, 4) == L"UNC\\") return ShareRoot(path, at + 4);
  } else if (path.substr(0, 2) == L"\\\\") {
    return ShareRoot(path, 2);
  }
  if (!IsDrive(path, at)) return L"";
  return std::wstring(path.substr(0, at + 2)) + L"\\";
}
