#include "app/core/dialog_result.h"

#include "engine/path_rules.h"

std::vector<std::wstring> SplitDialogResult(
    const std::wstring& result, const std::function<bool(const std::wstring&)>& fileExists) {
  // The platform sees a text only up to its first NUL.
  std::wstring first = result.substr(0, result.find(L'\0'));
  if (fileExists(first)) return {first};
  std::vector<std::wstring> parts;
  size_t start = 0;
  for (;;) {
    size_t nul = result.find(L'\0', start);
    parts.push_back(
        result.substr(start, nul == std::wstring::npos ? std::wstring::npos : nul - start));
    if (nul == std::wstring::npos) break;
    start = nul + 1;
  }
  std::vector<std::wstring> paths;
  std::wstring folder = AddPathSeparator(parts.front());
  for (size_t i = 1; i < parts.size(); ++i) paths.push_back(folder + parts[i]);
  return paths;
}
