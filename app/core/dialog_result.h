// The open-file dialog's result: one full path, or a folder and names
// separated by NUL characters.
#pragma once
#include <functional>
#include <string>
#include <vector>

// fileExists tells a single selection (a file of that name exists) from a
// multiple one, which gives the folder with a backslash plus each name, in
// the dialog's order.
std::vector<std::wstring> SplitDialogResult(
    const std::wstring& result, const std::function<bool(const std::wstring&)>& fileExists);
