#include "engine/folder_walk_win.h"

#include <windows.h>

std::optional<std::vector<FolderItem>> Win32FolderSource::List(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileExW(ChildPath(folder, L"*").c_str(), FindExInfoBasic, &found,
                                 FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return std::nullopt;
  std::vector<FolderItem> items;
  do {
    std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const DWORD attributes = found.dwFileAttributes;
    items.push_back({std::move(name), (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                     (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0});
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return items;
}

std::optional<FolderIdentity> Win32FolderSource::Identity(const std::wstring& folder) {
  // A folder opens only with backup semantics; no access is asked for.
  HANDLE handle =
      CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  bool known = GetFileInformationByHandle(handle, &info) != 0;
  CloseHandle(handle);
  if (!known) return std::nullopt;
  return FolderIdentity{info.dwVolumeSerialNumber,
                        (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

bool IsFolderPath(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::wstring> ExpandFolders(const std::vector<std::wstring>& paths,
                                        const std::function<bool()>& keepGoing) {
  std::vector<std::wstring> files;
  Win32FolderSource source;
  for (const std::wstring& path : paths) {
    if (!IsFolderPath(path)) {
      files.push_back(path);
      continue;
    }
    WalkFolder(
        path, source,
        [&](const std::wstring& file) {
          files.push_back(file);
          return true;
        },
        keepGoing);
  }
  return files;
}
