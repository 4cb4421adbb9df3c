// This program's registration with the update monitor カネナリ: its data,
// defined once, and the three ways the program uses it.
#pragma once
#include <windows.h>

#include <string>

// Ours to choose: reserved example domains, so nothing real is addressed.
inline constexpr const wchar_t* kUpCheckMailAddress = L"pomero@example.jp";
inline constexpr const wchar_t* kUpCheckAuthor = L"Velnoir Works";
inline constexpr const wchar_t* kUpCheckDisplayHost = L"www.example.jp";
inline constexpr const wchar_t* kUpCheckInfoUrl = L"http://www.example.jp/velnoir/pomero_se.txt";
inline constexpr const wchar_t* kUpCheckDistinctName = L"PomeroSE";
inline constexpr const wchar_t* kUpCheckDisplayName = L"MP3 Velnoir ぽめろ SE";

// "Software\Upcheck\<mail address>\PomeroSE" under HKEY_CURRENT_USER.
std::wstring RegistrationKeyPath();

// Registered means the monitor's area holds our distinct name.
bool IsRegistered();

// Writes the whole registration (raises AppError on failure).
void WriteRegistration(HWND owner);

// At every start of a registered program: writes the registration again, or
// tells the user the monitor is missing. Raises AppError on registry failure.
void RefreshRegistrationAtStart(HWND owner);

// The options dialog's registration button: asks, then registers or tells
// the user the monitor is missing. Raises AppError on registry failure.
void RegisterFromOptions(HWND owner);
