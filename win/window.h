// The one way a window of the program is wired: its class is registered
// once, the object is handed over at creation, and every message reaches
// the object's HandleMessage until the window is gone.
#pragma once
#include <windows.h>

namespace win {

struct WindowClass {
  const wchar_t* name;
  HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  HICON icon = nullptr;
  HICON smallIcon = nullptr;
  UINT style = 0;
  // A dialog-box class of the program's own: the window gets a dialog's
  // extra bytes and DefDlgProc as its default handling, and with them a
  // dialog's keyboard (Tab, access keys, the default button following the
  // focus) under IsDialogMessage.
  bool dialogKeyboard = false;
};

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND Handle() const { return window_; }

 protected:
  // Registers the class the first time (a class that exists is kept) and
  // creates the window with this object behind it. Null on failure.
  HWND Create(const WindowClass& windowClass, const wchar_t* caption, DWORD style, DWORD exStyle,
              HWND owner, HMENU menu = nullptr, int x = CW_USEDEFAULT, int y = CW_USEDEFAULT,
              int width = CW_USEDEFAULT, int height = CW_USEDEFAULT);

  // Messages not handled here go to DefaultHandling.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultFor(window_, message, wParam, lParam);
  }
  // Called after the last message (WM_NCDESTROY); the handle is already
  // cleared.
  virtual void WindowGone() {}

  // A child control whose own messages this window must see (a key that
  // the control does not report to its parent): from here on each of them
  // goes to HandleControlMessage until the control is gone.
  void WatchControl(HWND control);
  // Messages not handled here go to DefaultControlHandling, the control's
  // own procedure.
  virtual LRESULT HandleControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultControlHandling(control, message, wParam, lParam);
  }
  static LRESULT DefaultControlHandling(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ControlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR id, DWORD_PTR self);
  // DefDlgProc for a window of a dialog-box class, DefWindowProc otherwise.
  static LRESULT DefaultFor(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND window_ = nullptr;
};

}  // namespace win
