#include "app/about/about_dialog.h"

#include "app/about/version_line.h"
#include "win/handles.h"
#include "win/ui.h"
#include "win/window.h"

namespace {

constexpr int kClientWidth = 4950;  // twips
constexpr int kClientHeight = 1035;

class AboutDialog : public win::Window {
 public:
  explicit AboutDialog(HWND owner) : owner_(owner) {}

  void Show() {
    win::WindowClass windowClass{about::kWindowClass,
                                 static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))};
    HWND window = Create(windowClass, about::kCaption,
                         WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, WS_EX_DLGMODALFRAME,
                         owner_, nullptr, 0, 0, 0, 0);
    if (!window) return;
    win::PlaceCentred(window, owner_, kClientWidth, kClientHeight);
    win::RunModal(window, owner_);
  }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_CREATE:
        OnCreate();
        return 0;
      case WM_CTLCOLORSTATIC: {
        // The labels sit on the white window, not on the grey of a dialog.
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
      }
      case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
          OnClose();
          return 0;
        }
        break;
      case WM_CLOSE:
        OnClose();
        return 0;
    }
    return DefaultHandling(message, wParam, lParam);
  }

  void OnCreate() {
    HWND icon = win::CreateControl(Handle(), L"STATIC", L"", SS_ICON | SS_REALSIZECONTROL, 0,
                                   about::kIcon, {105, 105, 480, 480});
    SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(ProgramIcon()), 0);
    win::CreateControl(Handle(), L"STATIC", about::kProductLine, SS_LEFT | SS_NOPREFIX, 0,
                       about::kProductName, {735, 105, 4110, 225});
    win::ProgramVersion version = win::GetProgramVersion();
    win::CreateControl(Handle(), L"STATIC",
                       VersionLine(version.major, version.minor, version.revision),
                       SS_LEFT | SS_NOPREFIX, 0, about::kVersion, {735, 420, 4110, 225});
    win::CreateControl(Handle(), L"STATIC", about::kNotice, SS_LEFT | SS_NOPREFIX, 0,
                       about::kNoticeLine, {735, 735, 4110, 225});
  }

  void OnClose() {
    // The owner comes back before this window goes, so activation returns
    // to it rather than to another program.
    if (owner_) EnableWindow(owner_, TRUE);
    DestroyWindow(Handle());
  }

  // Icon 1 of the program's resources, or the system's application icon
  // when the exe carries none.
  HICON ProgramIcon() {
    int size = win::TwipsToPixelsX(480);
    ownIcon_.Reset(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1),
                                                 IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    if (ownIcon_) return ownIcon_.Get();
    return LoadIconW(nullptr, IDI_APPLICATION);
  }

  HWND owner_;
  win::OwnedIcon ownIcon_;
};

}  // namespace

void ShowAboutDialog(HWND owner) {
  AboutDialog dialog(owner);
  dialog.Show();
}
