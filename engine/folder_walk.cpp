#include "engine/folder_walk.h"

#include <algorithm>
#include <set>
#include <utility>

namespace {

// Letter case as Explorer ignores it for the names users give their music:
// ASCII, Latin-1 and the full-width Latin letters.
wchar_t FoldCase(wchar_t c) {
  if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c + 0x20);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<wchar_t>(c + 0x20);
  if (c >= 0xFF21 && c <= 0xFF3A) return static_cast<wchar_t>(c + 0x20);
  return c;
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Compares the digit runs at a[i] and b[j] by value, moving both past them.
// Digits are compared as text, so no run is too long for a number.
int CompareNumbers(std::wstring_view a, size_t& i, std::wstring_view b, size_t& j) {
  size_t ai = i, bj = j;
  while (i < a.size() && IsDigit(a[i])) ++i;
  while (j < b.size() && IsDigit(b[j])) ++j;
  std::wstring_view x = a.substr(ai, i - ai), y = b.substr(bj, j - bj);
  while (x.size() > 1 && x[0] == L'0') x.remove_prefix(1);
  while (y.size() > 1 && y[0] == L'0') y.remove_prefix(1);
  if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
  int c = x.compare(y);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int CompareFolded(std::wstring_view a, std::wstring_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      if (int c = CompareNumbers(a, i, b, j)) return c;
      continue;
    }
    wchar_t x = FoldCase(a[i++]), y = FoldCase(b[j++]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

bool ExplorerLess(const FolderItem& a, const FolderItem& b) {
  return CompareExplorerNames(a.name, b.name) < 0;
}

}  // namespace

bool IsAudioFileName(std::wstring_view name) {
  size_t dot = name.rfind(L'.');
  if (dot == std::wstring_view::npos || name.size() - dot > 5) return false;
  std::wstring extension;
  for (wchar_t c : name.substr(dot + 1)) extension += FoldCase(c);
  for (const wchar_t* known :
       {L"mp1", L"mp3", L"rmp", L"wav", L"flac", L"m4a", L"m4b", L"ogg", L"oga", L"opus"}) {
    if (extension == known) return true;
  }
  return false;
}

int CompareExplorerNames(std::wstring_view a, std::wstring_view b) {
  if (int c = CompareFolded(a, b)) return c;
  // Names equal to Explorer ("a1", "A01") still get one order every time.
  int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::wstring ChildPath(const std::wstring& folder, const std::wstring& name) {
  if (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) return folder + name;
  return folder + L"\\" + name;
}

void WalkFolder(const std::wstring& folder, FolderSource& source,
                const std::function<bool(const std::wstring& file)>& onFile,
                const std::function<bool()>& keepGoing) {
  std::set<std::pair<uint64_t, uint64_t>> walked;
  // Folders still to walk, the next one last: depth first without recursion,
  // so no depth of folders can exhaust the stack.
  std::vector<std::wstring> pending{folder};
  while (!pending.empty()) {
    if (keepGoing && !keepGoing()) return;
    std::wstring current = std::move(pending.back());
    pending.pop_back();
    if (std::optional<FolderIdentity> id = source.Identity(current)) {
      if (!walked.insert({id->volume, id->index}).second) continue;
    }
    std::optional<std::vector<FolderItem>> items = source.List(current);
    if (!items) continue;
    std::vector<FolderItem> files, folders;
    for (FolderItem& item : *items) {
      if (item.hidden) continue;
      if (item.folder) folders.push_back(std::move(item));
      else if (IsAudioFileName(item.name)) files.push_back(std::move(item));
    }
    std::sort(files.begin(), files.end(), ExplorerLess);
    std::sort(folders.begin(), folders.end(), ExplorerLess);
    for (const FolderItem& file : files)
      if (!onFile(ChildPath(current, file.name))) return;
    for (auto it = folders.rbegin(); it != folders.rend(); ++it)
      pending.push_back(ChildPath(current, it->name));
  }
}
