// The folder walk over the real file system, and what a list of paths to
// add becomes when some of them are folders.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "engine/folder_walk.h"

// Lists folders with FindFirstFileExW and tells them apart by volume and
// file index, so a link or junction back into the tree is seen as such.
class Win32FolderSource : public FolderSource {
 public:
  std::optional<std::vector<FolderItem>> List(const std::wstring& folder) override;
  std::optional<FolderIdentity> Identity(const std::wstring& folder) override;
};

// Whether the path names an existing folder.
bool IsFolderPath(const std::wstring& path);

// The paths in order, each folder among them replaced by the audio files
// beneath it (see WalkFolder); other paths stay as they are. keepGoing is
// asked between folders.
std::vector<std::wstring> ExpandFolders(const std::vector<std::wstring>& paths,
                                        const std::function<bool()>& keepGoing = {});
