#include "app/about/about_dialog.h"

#include "app/about/version_line.h"
#include "win/handles.h"
#include "win/modal_dialog.h"
#include "win/ui.h"

namespace {

constexpr int kClientWidth = 4950;  // twips
constexpr int kClientHeight = 1035;

// The icon, and three lines: the product, its version, the notice.
// clang-format off
constexpr win::ControlSpec kLayout[] = {
    {about::kIcon, L"STATIC", L"", SS_ICON | SS_REALSIZECONTROL, 0, {105, 105, 480, 480}},
    {about::kProductName, L"STATIC", about::kProductLine, SS_LEFT | SS_NOPREFIX, 0,
     {735, 105, 4110, 225}},
    {about::kVersion, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 0, {735, 420, 4110, 225}},
    {about::kNoticeLine, L"STATIC", about::kNotice, SS_LEFT | SS_NOPREFIX, 0, {735, 735, 4110, 225}},
};
// clang-format on

class AboutDialog : public win::ModalDialog {
 public:
  void Show(HWND owner) {
    win::WindowClass windowClass{about::kWindowClass,
                                 static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))};
    if (!CreateDialogWindow(owner, windowClass, about::kCaption,
                            WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                            WS_EX_DLGMODALFRAME, kClientWidth, kClientHeight))
      return;
    CreateControls(kLayout);
    SendDlgItemMessageW(Handle(), about::kIcon, STM_SETICON,
                        reinterpret_cast<WPARAM>(ProgramIcon()), 0);
    win::ProgramVersion version = win::GetProgramVersion();
    win::SetText(GetDlgItem(Handle(), about::kVersion),
                 VersionLine(version.major, version.minor, version.revision));
    RunModal();
  }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_CTLCOLORSTATIC: {
        // The labels sit on the white window, not on the grey of a dialog.
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
      }
      case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
          CloseDialog();
          return 0;
        }
        break;
      case WM_CLOSE: CloseDialog(); return 0;
    }
    return DefaultHandling(message, wParam, lParam);
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

  win::OwnedIcon ownIcon_;
};

}  // namespace

void ShowAboutDialog(HWND owner) {
  AboutDialog dialog;
  dialog.Show(owner);
}
