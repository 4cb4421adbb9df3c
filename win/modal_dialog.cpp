#include "win/modal_dialog.h"

namespace win {

ModalDialog::~ModalDialog() { GiveOwnerBack(); }

bool ModalDialog::CreateDialogWindow(HWND owner, const WindowClass& windowClass,
                                     const wchar_t* caption, DWORD style, DWORD exStyle,
                                     int clientWidthTwips, int clientHeightTwips) {
  owner_ = owner;
  HWND window = Create(windowClass, caption, style, exStyle, owner_, nullptr, 0, 0, 100, 100);
  if (!window) return false;
  PlaceCentred(window, owner_, clientWidthTwips, clientHeightTwips);
  return true;
}

void ModalDialog::CreateControls(std::span<const ControlSpec> table) {
  for (const ControlSpec& control : table) {
    HWND parent = control.parentId ? GetDlgItem(Handle(), control.parentId) : Handle();
    CreateControl(parent, control.className, control.text, control.style, control.exStyle,
                  control.id, control.rect);
  }
}

void ModalDialog::BeginModal() {
  if (owner_ && !ownerDisabled_) {
    EnableWindow(owner_, FALSE);
    ownerDisabled_ = true;
  }
  ShowWindow(Handle(), SW_SHOW);
}

void ModalDialog::RunModal() {
  if (!Handle()) return;
  BeginModal();
  MSG msg;
  while (Handle()) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      // The quit goes on to the loop that owns the thread.
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (IsDialogMessageW(Handle(), &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  CloseDialog();
}

void ModalDialog::CloseDialog() {
  GiveOwnerBack();
  if (HWND window = Handle()) DestroyWindow(window);
}

void ModalDialog::GiveOwnerBack() {
  if (!ownerDisabled_) return;
  ownerDisabled_ = false;
  EnableWindow(owner_, TRUE);
  if (GetActiveWindow() == nullptr || GetActiveWindow() == Handle()) SetActiveWindow(owner_);
}

}  // namespace win
