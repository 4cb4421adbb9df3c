#include "tests/support/ui_driver.h"

#include <commctrl.h>

#include <iterator>

#include "win/ui.h"

namespace ui_driver {

namespace {

// The progress window's button, as the rename run creates it.
constexpr int kProgressButtonId = 104;

// A key message as it comes out of the queue: to the control with the focus
// unless another is named.
MSG KeyMessage(HWND dialog, HWND control, UINT message, WPARAM key, LPARAM flags) {
  MSG msg{};
  msg.hwnd = control ? control : GetFocus() ? GetFocus() : dialog;
  msg.message = message;
  msg.wParam = key;
  msg.lParam = flags;
  return msg;
}

void HandOver(HWND dialog, MSG msg) {
  if (!IsDialogMessageW(dialog, &msg)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

INPUT KeyInput(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  // The menu key and the arrows are extended keys of the keyboard.
  if (key == VK_APPS || (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_DELETE)
    input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  return input;
}

INPUT MouseInput(DWORD flags, POINT screen) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
  return input;
}

}  // namespace

void PressKeysForReal(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (WORD key : keys) inputs.push_back(KeyInput(key, false));
  for (auto key = std::rbegin(keys); key != std::rend(keys); ++key)
    inputs.push_back(KeyInput(*key, true));
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void ClickForReal(HWND window, POINT client, std::initializer_list<WORD> heldKeys) {
  POINT screen = client;
  ClientToScreen(window, &screen);
  std::vector<INPUT> inputs;
  for (WORD key : heldKeys) inputs.push_back(KeyInput(key, false));
  inputs.push_back(MouseInput(MOUSEEVENTF_MOVE, screen));
  inputs.push_back(MouseInput(MOUSEEVENTF_LEFTDOWN, screen));
  inputs.push_back(MouseInput(MOUSEEVENTF_LEFTUP, screen));
  for (auto key = std::rbegin(heldKeys); key != std::rend(heldKeys); ++key)
    inputs.push_back(KeyInput(*key, true));
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::vector<std::wstring> ComboItems(HWND combo) {
  std::vector<std::wstring> items;
  int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    int length = static_cast<int>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0));
    std::wstring item(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
    item.resize(static_cast<size_t>(length > 0 ? length : 0));
    items.push_back(item);
  }
  return items;
}

int ComboSelection(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

void SelectComboItem(HWND combo, int index) {
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ChooseComboItem(HWND combo, int index) {
  SelectComboItem(combo, index);
  SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
}

HWND ComboEdit(HWND combo) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  if (!GetComboBoxInfo(combo, &info)) return nullptr;
  return info.hwndItem;
}

void TypeText(HWND edit, const std::wstring& text) {
  int end = GetWindowTextLengthW(edit);
  SendMessageW(edit, EM_SETSEL, end, end);
  for (wchar_t c : text) SendMessageW(edit, WM_CHAR, c, 1);
}

void ReplaceComboText(HWND combo, const std::wstring& text) {
  HWND edit = ComboEdit(combo);
  SendMessageW(edit, EM_SETSEL, 0, -1);
  SendMessageW(edit, WM_CHAR, VK_BACK, 1);
  TypeText(edit, text);
}

void PressKey(HWND dialog, UINT key) {
  HandOver(dialog, KeyMessage(dialog, nullptr, WM_KEYDOWN, key, 0));
}

void PressAndRelease(HWND dialog, HWND control, UINT key) {
  HandOver(dialog, KeyMessage(dialog, control, WM_KEYDOWN, key, 1));
  HandOver(dialog, KeyMessage(dialog, control, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001)));
}

void PressAccessKey(HWND dialog, wchar_t letter) {
  MSG msg = KeyMessage(dialog, nullptr, WM_SYSCHAR, letter, 1 << 29);  // Alt held
  IsDialogMessageW(dialog, &msg);
}

void ClickButton(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

void ReportClick(HWND button) {
  SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

void ClickTab(HWND tab, int index) {
  RECT item{};
  SendMessageW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  LPARAM point = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
  SendMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, point);
  SendMessageW(tab, WM_LBUTTONUP, 0, point);
  win::PumpMessages();
}

std::wstring MenuText(HMENU menu, UINT position) {
  wchar_t text[128] = {};
  GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
  return text;
}

bool IsChecked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool IsShown(HWND control) { return (GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0; }

HWND FindProgressWindow() { return FindWindowW(L"VelnoirProgress", L"実行中"); }

HWND ProgressButton() {
  HWND progress = FindProgressWindow();
  return progress ? GetDlgItem(progress, kProgressButtonId) : nullptr;
}

void ClickProgressButton() { SendMessageW(ProgressButton(), BM_CLICK, 0, 0); }

}  // namespace ui_driver
