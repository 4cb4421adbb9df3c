// The read-only, word-wrapping text box a run's report is shown in. It
// behaves as a read-only multi-line text box does (scrolling, selecting with
// the mouse and Shift, Ctrl+A, Ctrl+C, its text through WM_GETTEXT), but
// keeps the text itself and lays out only what is appended: the system's
// edit control lays out and measures its whole text again at every change,
// which under some platforms costs more than the renames a report tells of.
#pragma once
#include <windows.h>

#include <string>

inline constexpr const wchar_t* kReportBoxClass = L"VelnoirReportBox";

// Registers the control's window class (once); false on failure.
bool RegisterReportBoxClass();

// Appends text at the end and brings the end into view.
void AppendToReportBox(HWND box, const std::wstring& text);
