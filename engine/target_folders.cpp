#include "engine/target_folders.h"

#include <algorithm>

#include "engine/path_rules.h"

namespace {

// A drive root ("C:\"), a share's root ("\\server\share") or nothing: no
// folder above these can be created.
bool IsRootLike(const std::wstring& folder) {
  if (folder.empty()) return true;
  if (folder.size() <= 3 && folder.size() >= 2 && folder[1] == L':') return true;
  if (folder.compare(0, 2, L"\\\\") == 0) {
    size_t server = folder.find(L'\\', 2);
    return server == std::wstring::npos || folder.find(L'\\', server + 1) == std::wstring::npos;
  }
  return false;
}

size_t Depth(const std::wstring& path) {
  return static_cast<size_t>(std::count(path.begin(), path.end(), L'\\'));
}

}  // namespace

std::vector<std::wstring> FoldersToCreate(
    const std::wstring& target, const std::function<bool(const std::wstring&)>& folderExists) {
  std::vector<std::wstring> missing;
  std::wstring folder = GetDirectoryPart(target);
  // Each step up is shorter, so the walk ends; a trailing separator from a
  // doubled backslash names the same folder and is skipped.
  while (!IsRootLike(folder) && !folderExists(folder)) {
    if (folder.back() != L'\\') missing.push_back(folder);
    std::wstring parent = GetDirectoryPart(folder);
    if (parent.size() >= folder.size()) break;
    folder = parent;
  }
  std::reverse(missing.begin(), missing.end());
  return missing;
}

std::vector<std::wstring> FolderRemovalOrder(const std::vector<std::wstring>& created) {
  std::vector<std::wstring> order;
  for (auto it = created.rbegin(); it != created.rend(); ++it)
    if (std::find(order.begin(), order.end(), *it) == order.end()) order.push_back(*it);
  std::stable_sort(order.begin(), order.end(), [](const std::wstring& a, const std::wstring& b) {
    return Depth(a) > Depth(b);
  });
  return order;
}
