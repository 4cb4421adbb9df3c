// The about dialog: the program's icon, name, version and build.
#pragma once
#include <windows.h>

#include <string>

// Shows the dialog modally over owner (disabled meanwhile) and returns when
// the user has closed it with the close box, Esc or Enter.
void ShowAboutDialog(HWND owner);

namespace about {

inline constexpr const wchar_t* kCaption = L"バージョン情報";
inline constexpr const wchar_t* kWindowClass = L"VelnoirAbout";
inline constexpr const wchar_t* kProductLine = L"MP3 Velnoir ぽめろ SE";
inline constexpr const wchar_t* kNotice = L"このソフトウェアはフリーソフトウェアです。";

// Control ids of the dialog's children.
enum : int { kIcon = 101, kProductName = 102, kVersion = 103, kNoticeLine = 104 };

}  // namespace about
