// The one way a dialog of the program is built and ends: its controls come
// from a layout table, it opens centred over its owner, and while it is up
// its owner is disabled. However it ends (OK, Cancel, the close box, a quit
// message, the object going), the owner is enabled again exactly once, and
// before the dialog's window goes, so that activation returns to the owner
// rather than to another program.
#pragma once
#include <windows.h>

#include <span>

#include "win/ui.h"
#include "win/window.h"

namespace win {

// One control of a dialog's layout table. Controls are made in table
// order, which is the order the Tab key follows.
struct ControlSpec {
  static constexpr int kAllPages = -1;
  int id;
  const wchar_t* className;
  const wchar_t* text;
  DWORD style;
  DWORD exStyle;
  TwipsRect rect;        // in the client area of its parent
  int page = kAllPages;  // a tabbed dialog's page it shows on
  int parentId = 0;      // 0: the dialog; else the control that holds it
};

// A control placed inside a frame, laid out relative to the frame's corner.
constexpr TwipsRect Inside(const TwipsRect& frame, TwipsRect r) {
  return {frame.left + r.left, frame.top + r.top, r.width, r.height};
}

class ModalDialog : public Window {
 public:
  ModalDialog() = default;
  ~ModalDialog() override;

  HWND Owner() const { return owner_; }

 protected:
  // Creates the window hidden, owned by owner, sized to a client area of
  // the given twips and centred over the owner (the screen without one).
  // False on failure.
  bool CreateDialogWindow(HWND owner, const WindowClass& windowClass, const wchar_t* caption,
                          DWORD style, DWORD exStyle, int clientWidthTwips, int clientHeightTwips);
  // Makes the table's controls in its order.
  void CreateControls(std::span<const ControlSpec> table);
  // Disables the owner (once) and shows the dialog, without waiting.
  void BeginModal();
  // Shows the dialog, disables the owner and returns when the dialog has
  // closed. A quit message ends the wait with the dialog still there; it
  // is closed then too.
  void RunModal();
  // Ends the dialog: the owner first, then the window.
  void CloseDialog();

  void WindowGone() override { GiveOwnerBack(); }

 private:
  void GiveOwnerBack();

  HWND owner_ = nullptr;
  bool ownerDisabled_ = false;
};

}  // namespace win
