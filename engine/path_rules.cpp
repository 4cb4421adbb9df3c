#include "engine/path_rules.h"

#include <vector>

namespace {

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Length in code units of the character starting at i: a UTF-16 surrogate
// pair is one character and must never be cut in half.
size_t CharLength(const std::wstring& text, size_t i) {
  if (sizeof(wchar_t) == 2 && IsHighSurrogate(text[i]) && i + 1 < text.size() &&
      IsLowSurrogate(text[i + 1]))
    return 2;
  return 1;
}

// "C:" of "C:\work", "\\server\share" of "\\server\share\in": what a
// path keeps when it climbs as far as it can. Empty for a relative path.
std::wstring RootOf(const std::wstring& path) {
  if (path.compare(0, 2, L"\\\\") == 0) {
    size_t server = path.find(L'\\', 2);
    if (server == std::wstring::npos) return path;
    size_t share = path.find(L'\\', server + 1);
    return share == std::wstring::npos ? path : path.substr(0, share);
  }
  if (path.size() >= 2 && path[1] == L':') return path.substr(0, 2);
  return L"";
}

}  // namespace

std::wstring AddPathSeparator(const std::wstring& text) {
  if (!text.empty() && text.back() == L'\\') return text;
  return text + L'\\';
}

std::wstring CutAtNull(const std::wstring& text) {
  size_t nul = text.find(L'\0');
  return nul == std::wstring::npos ? text : text.substr(0, nul);
}

std::string CutAtNull(const std::string& text) {
  size_t nul = text.find('\0');
  return nul == std::string::npos ? text : text.substr(0, nul);
}

size_t AnsiByteLength(char32_t c) {
  if (c < 0x81) return 1;                    // ASCII, and 0x80 which maps to itself
  if (c >= 0xFF61 && c <= 0xFF9F) return 1;  // half-width katakana 0xA1..0xDF
  if (c >= 0xF8F0 && c <= 0xF8F3) return 1;  // 0xA0, 0xFD..0xFF of the Windows table
  return 2;
}

std::wstring GetDirectoryPart(const std::wstring& pathText) {
  // The ANSI function sees the text only up to its first NUL.
  const std::wstring path = CutAtNull(pathText);
  const size_t n = path.size();
  size_t i = 0;
  size_t cut = 0;  // where the part to remove starts
  // A leading "\" or "\\" (UNC) is never removed.
  if (i < n && path[i] == L'\\') cut = ++i;
  if (i < n && path[i] == L'\\') cut = ++i;
  while (i < n) {
    if (path[i] == L'\\') {
      cut = i;
    } else if (path[i] == L':') {
      // After a drive the removal starts behind "X:" or "X:\"; the shell
      // function then steps over that backslash without looking at it.
      cut = ++i;
      if (i < n && path[i] == L'\\') ++cut;
      if (i >= n) break;
    }
    i += CharLength(path, i);
  }
  if (cut < n) return path.substr(0, cut);
  return L"";
}

std::wstring GetFileNamePart(const std::wstring& pathText) {
  const std::wstring path = CutAtNull(pathText);
  const size_t n = path.size();
  size_t start = 0;
  for (size_t i = 0; i < n; i += CharLength(path, i)) {
    wchar_t c = path[i];
    // A separator counts only when a name follows it, so "C:\dir\" gives "dir\".
    if ((c == L'\\' || c == L'/' || c == L':') && i + 1 < n && path[i + 1] != L'\\' &&
        path[i + 1] != L'/')
      start = i + 1;
  }
  size_t bytes = 0;
  size_t end = start;
  while (end < n) {
    size_t len = CharLength(path, end);
    char32_t c = static_cast<char32_t>(path[end]);
    if (len == 2) c = 0x10000;  // outside code page 932: counted as a double-byte character
    size_t width = AnsiByteLength(c);
    if (bytes + width > kFileNamePartBytes) break;
    bytes += width;
    end += len;
  }
  return path.substr(start, end - start);
}

std::wstring ResolveAgainstFolder(const std::wstring& text, const std::wstring& currentFolder) {
  if (currentFolder.empty()) return text;
  std::wstring whole;
  if (text.compare(0, 2, L"\\\\") == 0) whole = text;
  else if (!text.empty() && text[0] == L'\\') whole = RootOf(currentFolder) + text;
  else whole = AddPathSeparator(currentFolder) + text;
  const std::wstring root = RootOf(whole);
  if (root.empty()) return whole;
  std::vector<std::wstring> folders;
  size_t from = root.size();
  for (;;) {
    size_t sep = whole.find(L'\\', from);
    if (sep == std::wstring::npos) break;
    std::wstring folder = whole.substr(from, sep - from);
    if (folder == L"..") {
      if (!folders.empty()) folders.pop_back();
    } else if (!folder.empty() && folder != L".") {
      folders.push_back(std::move(folder));
    }
    from = sep + 1;
  }
  std::wstring resolved = root;
  for (const std::wstring& folder : folders) resolved += L'\\' + folder;
  return resolved + L'\\' + whole.substr(from);
}
