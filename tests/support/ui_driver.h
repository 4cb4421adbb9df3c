// Plays the user on the program's own windows from inside the test
// process: clicks, keys, typing and choices reach the controls as the
// messages a real user's actions make, so the window code under test reacts
// as it would on screen.
#pragma once
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace ui_driver {

// The texts of a combo box's list, top to bottom.
std::vector<std::wstring> ComboItems(HWND combo);
// The index of the combo box's chosen item; CB_ERR for none.
int ComboSelection(HWND combo);
// Sets the combo box's choice without telling its parent, as a program does.
void SelectComboItem(HWND combo, int index);
// Chooses an item as the user does from the drop-down: the parent hears of
// the new choice (CBN_SELCHANGE).
void ChooseComboItem(HWND combo, int index);
// The edit field of a drop-down combo box; nullptr when it has none.
HWND ComboEdit(HWND combo);

// Keystrokes as a user types them at the end of an edit control: each
// character arrives as WM_CHAR, so the control reports every change.
void TypeText(HWND edit, const std::wstring& text);
// Replaces the text of a drop-down combo box as a user would: select all,
// delete, then type. The combo box drops its list choice on the way.
void ReplaceComboText(HWND combo, const std::wstring& text);

// A key pressed (not released) as the modal loop hands it over: through
// IsDialogMessage to the control with the focus.
void PressKey(HWND dialog, UINT key);
// A key pressed and released on control, as the modal loop hands it over.
void PressAndRelease(HWND dialog, HWND control, UINT key);
// Alt + a letter, as the modal loop hands it over.
void PressAccessKey(HWND dialog, wchar_t letter);

// Real keyboard input (SendInput): the keys pressed in order, then released
// in reverse, e.g. {VK_SHIFT, VK_F10}. They reach the window with the focus
// through its thread's queue, as a user's keys do.
void PressKeysForReal(std::initializer_list<WORD> keys);
// A real left click at a point of window's client area, with the keys given
// (VK_CONTROL, VK_SHIFT) held down during it.
void ClickForReal(HWND window, POINT client, std::initializer_list<WORD> heldKeys = {});

// Clicks a button the way the keyboard's space bar does (BM_CLICK).
void ClickButton(HWND button);
// Tells the control's parent that the button was clicked (BN_CLICKED), as
// the button itself does.
void ReportClick(HWND button);
// Clicks a tab with the mouse, so the tab control itself reports the change.
void ClickTab(HWND tab, int index);

bool IsChecked(HWND button);
// The caption of a menu's item at position, access-key marks included.
std::wstring MenuText(HMENU menu, UINT position);
// The control's own visibility, whether or not its window is on screen.
bool IsShown(HWND control);

// The rename run's progress window, while it is open; nullptr otherwise.
HWND FindProgressWindow();
// The progress window's one button (中止, then 閉じる); nullptr without the
// window.
HWND ProgressButton();
// Clicks the progress window's button from the thread that runs the
// items, returning once the window's thread has taken the click.
void ClickProgressButton();

}  // namespace ui_driver
