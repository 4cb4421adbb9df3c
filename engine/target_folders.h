// The folders a rename run creates for targets in folders that do not exist
// yet ("%A\%L\%N %T"), and the order in which an undo removes them again.
// Portable: the file system is asked through a callback.
#pragma once
#include <functional>
#include <string>
#include <vector>

// The folders above target that do not exist, outermost first (the order in
// which they must be created). Empty when the target's folder exists, and
// for a target without a folder part.
std::vector<std::wstring> FoldersToCreate(
    const std::wstring& target, const std::function<bool(const std::wstring&)>& folderExists);

// The folders a run created, deepest first: each after every folder inside
// it, whatever the order they were recorded in. A folder named twice comes
// once.
std::vector<std::wstring> FolderRemovalOrder(const std::vector<std::wstring>& created);

// The report's line for a created folder the undo left in place because
// something else is in it.
inline constexpr const wchar_t* kFolderKeptText = L"△ フォルダは空でないため残しました：";
