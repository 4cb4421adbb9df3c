#include "app/about/about_dialog.h"

#include "app/about/version_line.h"
#include "win/ui.h"

namespace {

constexpr int kClientWidth = 4950;  // twips
constexpr int kClientHeight = 1035;

class frmVersion {
 public:
  explicit frmVersion(HWND owner) : owner_(owner) {}
  ~frmVersion() {
    if (ownIcon_) DestroyIcon(ownIcon_);
  }

  void Show() {
    RegisterWindowClass();
    HWND window = CreateWindowExW(WS_EX_DLGMODALFRAME, about::kWindowClass, about::kCaption,
                                  WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, 0, 0, 0,
                                  0, owner_, nullptr, GetModuleHandleW(nullptr), this);
    if (!window) return;
    win::PlaceCentred(window, owner_, kClientWidth, kClientHeight);
    win::RunModal(window, owner_);
  }

 private:
  static void RegisterWindowClass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(GetModuleHandleW(nullptr), about::kWindowClass, &wc)) return;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = about::kWindowClass;
    RegisterClassExW(&wc);
  }

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      auto* self = static_cast<frmVersion*>(create->lpCreateParams);
      self->window_ = window;
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<frmVersion*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
      case WM_CREATE:
        self->Form_Load();
        return 0;
      case WM_CTLCOLORSTATIC: {
        // The labels sit on the white form, not on the grey of a dialog.
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
      }
      case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
          self->Form_Close();
          return 0;
        }
        break;
      case WM_CLOSE:
        self->Form_Close();
        return 0;
      case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  void Form_Load() {
    HWND image1 = win::CreateControl(window_, L"STATIC", L"", SS_ICON | SS_REALSIZECONTROL, 0,
                                     about::kImage1, {105, 105, 480, 480});
    SendMessageW(image1, STM_SETICON, reinterpret_cast<WPARAM>(ProgramIcon()), 0);
    win::CreateControl(window_, L"STATIC", about::kProductLine, SS_LEFT | SS_NOPREFIX, 0,
                       about::kLabel1, {735, 105, 4110, 225});
    win::ProgramVersion version = win::GetProgramVersion();
    win::CreateControl(window_, L"STATIC",
                       VersionLine(version.major, version.minor, version.revision),
                       SS_LEFT | SS_NOPREFIX, 0, about::kLabel2, {735, 420, 4110, 225});
    win::CreateControl(window_, L"STATIC", about::kNotice, SS_LEFT | SS_NOPREFIX, 0,
                       about::kLabel3, {735, 735, 4110, 225});
  }

  void Form_Close() {
    // The owner comes back before this window goes, so activation returns
    // to it rather than to another program.
    if (owner_) EnableWindow(owner_, TRUE);
    DestroyWindow(window_);
  }

  // Icon 1 of the program's resources, or the system's application icon
  // when the exe carries none.
  HICON ProgramIcon() {
    int size = win::TwipsToPixelsX(480);
    ownIcon_ = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1),
                                             IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    if (ownIcon_) return ownIcon_;
    return LoadIconW(nullptr, IDI_APPLICATION);
  }

  HWND owner_;
  HWND window_ = nullptr;
  HICON ownIcon_ = nullptr;
};

}  // namespace

void ShowAboutDialog(HWND owner) {
  frmVersion form(owner);
  form.Show();
}
