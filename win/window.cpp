#include "win/window.h"

#include <commctrl.h>

#include <utility>

namespace win {

Window::~Window() {
  // An object that goes while its window is still there must not be
  // reached by the window's last messages.
  if (HWND window = std::exchange(window_, nullptr)) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
  }
}

HWND Window::Create(const WindowClass& windowClass, const wchar_t* caption, DWORD style,
                    DWORD exStyle, HWND owner, HMENU menu, int x, int y, int width, int height) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{sizeof(wc)};
  if (!GetClassInfoExW(instance, windowClass.name, &wc)) {
    wc = WNDCLASSEXW{sizeof(wc)};
    wc.style = windowClass.style;
    if (windowClass.dialogKeyboard) wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.lpfnWndProc = &Window::Procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = windowClass.background;
    wc.hIcon = windowClass.icon;
    wc.hIconSm = windowClass.smallIcon;
    wc.lpszClassName = windowClass.name;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
  }
  return CreateWindowExW(exStyle, windowClass.name, caption, style, x, y, width, height, owner,
                         menu, instance, this);
}

LRESULT CALLBACK Window::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefaultFor(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    LRESULT result = self->HandleMessage(message, wParam, lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
    self->WindowGone();
    return result;
  }
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT Window::DefaultFor(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Only a dialog-box class has room for what DefDlgProc keeps per window.
  if (GetClassLongPtrW(window, GCL_CBWNDEXTRA) >= DLGWINDOWEXTRA)
    return DefDlgProcW(window, message, wParam, lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

void Window::WatchControl(HWND control) {
  SetWindowSubclass(control, &Window::ControlProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT Window::DefaultControlHandling(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefSubclassProc(control, message, wParam, lParam);
}

LRESULT CALLBACK Window::ControlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR self) {
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(control, &Window::ControlProcedure, 0);
    return DefSubclassProc(control, message, wParam, lParam);
  }
  // The window's object is gone before its children while it closes.
  auto* owner = reinterpret_cast<Window*>(self);
  if (!owner->window_) return DefSubclassProc(control, message, wParam, lParam);
  return owner->HandleControlMessage(control, message, wParam, lParam);
}

}  // namespace win
