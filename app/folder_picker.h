// The system's folder picker for "フォルダを追加".
#pragma once
#include <windows.h>

#include <optional>
#include <string>

// The folder the user chose; nothing when the picker was cancelled or could
// not be shown.
std::optional<std::wstring> PickFolder(HWND owner, const wchar_t* title);
