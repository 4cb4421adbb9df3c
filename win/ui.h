// Thin helpers over the Win32 window API, shared by every window of the
// program. Layouts are designed in twips (1440 per inch).
#pragma once
#include <windows.h>

#include <string>

#include "win/seam.h"

namespace win {

inline constexpr const wchar_t* kProgramTitle = L"ぽめろ";

// The screen's logical pixels per inch (96 at 100 %, 144 at 150 %).
int ScreenDpi();

int TwipsToPixelsX(int twips);
int TwipsToPixelsY(int twips);
int PixelsToTwipsX(int pixels);
int PixelsToTwipsY(int pixels);

struct TwipsRect {
  int left, top, width, height;
};

// Creates a child control at a twips rectangle relative to the parent's
// client area, with the dialog font. Returns the control.
HWND CreateControl(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style,
                   DWORD exStyle, int id, TwipsRect rect);

// The font every window of the program uses for its controls.
HFONT DialogFont();
// A font by face name and point size, kept for the life of the process.
HFONT NamedFont(const wchar_t* face, int points, BYTE charset);

std::wstring GetText(HWND window);
void SetText(HWND window, const std::wstring& text);
// The text of a combo box's list item; empty when there is no such item.
std::wstring ComboItemText(HWND combo, int index);

// Sizes a top-level window so that its client area has the given twips size
// and centres it over owner (or over the screen when owner is null).
void PlaceCentred(HWND window, HWND owner, int clientWidthTwips, int clientHeightTwips);
// Centres a top-level window on the screen's work area at the size it has.
void CentreOnWorkArea(HWND window);

// A message box whose caption is the program's title unless one is given.
int MessageBoxText(HWND owner, const std::wstring& text, UINT flags,
                   const wchar_t* caption = kProgramTitle);

// What stands in for the real message box in a test (win/seam.h): it gets
// what the box would show and returns the button the user would choose.
// Null is the real box.
using MessageBoxFunction = int (*)(HWND owner, const std::wstring& text, UINT flags,
                                   const wchar_t* caption);
extern Seam<MessageBoxFunction> g_messageBox;

// Full path of the running executable, and its folder without a trailing
// backslash (a drive root keeps its backslash, as "C:\").
std::wstring ProgramPath();
std::wstring ProgramDirectory();

struct ProgramVersion {
  int major = 0, minor = 0, revision = 0;
};
// From the program's own version resource (FILEVERSION a.b.c.d gives a, b, d).
ProgramVersion GetProgramVersion();
// The product name of the version resource, or empty.
std::wstring GetProductName();

// Runs the window messages waiting for this thread once, so that a long
// command keeps its windows painted and its Cancel button usable.
void PumpMessages();

}  // namespace win
