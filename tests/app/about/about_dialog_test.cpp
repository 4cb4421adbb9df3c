// The about dialog on the display: texts read back from its controls, its
// size and place, and the modal behaviour towards its owner.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/about/about_dialog.h"
#include "app/about/version_line.h"
#include "tests/support/dialog_checks.h"
#include "win/text.h"
#include "win/ui.h"

// The exe's version resource carries this revision (about_test.rc).
#ifndef ABOUT_TEST_REVISION
#define ABOUT_TEST_REVISION 19
#endif

namespace {

#if ABOUT_TEST_REVISION == 19
constexpr const wchar_t* kExpectedLine = L"Version 2.0 β6 (build.0019)";
#else
constexpr const wchar_t* kExpectedLine = L"Version 2.0 β6 (build.12345)";
#endif

class AboutDialog : public ::testing::Test {
 protected:
  // One owner for the suite: under Wine without a window manager every
  // window that goes away costs two seconds.
  static void SetUpTestSuite() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    wc.lpszClassName = L"AboutDialogTestOwner";
    RegisterClassW(&wc);
    owner_ = CreateWindowExW(0, wc.lpszClassName, L"owner", WS_OVERLAPPEDWINDOW, 100, 80, 800, 600,
                             nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(owner_, SW_SHOW);
    UpdateWindow(owner_);
  }
  static void TearDownTestSuite() {
    DestroyWindow(owner_);
    owner_ = nullptr;
  }
  void SetUp() override { ASSERT_NE(owner_, nullptr); }

  // Opens the dialog, runs check on it, and fails if it never appeared or
  // did not close by itself.
  void Open(std::function<void(HWND)> check) {
    dialog_checks::ModalRun run =
        dialog_checks::RunModal([] { ShowAboutDialog(owner_); }, about::kWindowClass, check);
    EXPECT_TRUE(run.shown) << "the dialog never showed";
    EXPECT_FALSE(run.closedByGuard) << "the dialog did not close: the test's guard closed it";
    EXPECT_EQ(FindWindowW(about::kWindowClass, nullptr), nullptr) << "still open";
    EXPECT_TRUE(IsWindowEnabled(owner_)) << "owner left disabled";
  }

  static HWND owner_;
};

HWND AboutDialog::owner_ = nullptr;

// Each exe's tests under their own name in the test list.
#if ABOUT_TEST_REVISION == 19
#define ABOUT_VERSION_SUITE AboutDialog
#else
class AboutDialogBuild12345 : public AboutDialog {};
#define ABOUT_VERSION_SUITE AboutDialogBuild12345
#endif

std::wstring ControlText(HWND dialog, int id) { return win::GetText(GetDlgItem(dialog, id)); }

TEST_F(ABOUT_VERSION_SUITE, ShowsNameVersionFromTheResourceAndNotice) {
  Open([](HWND dialog) {
    EXPECT_EQ(ControlText(dialog, about::kProductName), L"MP3 Velnoir ぽめろ SE");
    EXPECT_EQ(ControlText(dialog, about::kVersion), kExpectedLine);
    EXPECT_EQ(ControlText(dialog, about::kNoticeLine), about::kNotice);
    EXPECT_FALSE(ControlText(dialog, about::kNoticeLine).empty());
    PostMessageW(dialog, WM_CLOSE, 0, 0);
  });
}

TEST_F(ABOUT_VERSION_SUITE, VersionLineComesFromTheProgramsVersionResource) {
  win::ProgramVersion v = win::GetProgramVersion();
  EXPECT_EQ(v.major, 2);
  EXPECT_EQ(v.minor, 0);
  EXPECT_EQ(v.revision, ABOUT_TEST_REVISION);
  EXPECT_EQ(VersionLine(v.major, v.minor, v.revision), kExpectedLine);
}

// The layout and behaviour do not depend on the version: checked once.
#if ABOUT_TEST_REVISION == 19

TEST_F(AboutDialog, ModalCentredOnTheOwnerAndHoldsTogether) {
  HWND owner = owner_;
  Open([owner](HWND dialog) {
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);
    EXPECT_FALSE(IsWindowEnabled(owner)) << "modal: the owner waits";
    EXPECT_EQ(win::GetText(dialog), L"バージョン情報");
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, win::TwipsToPixelsX(4950));
    EXPECT_EQ(client.bottom, win::TwipsToPixelsY(1035));

    LONG_PTR style = GetWindowLongPtrW(dialog, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_FALSE(GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW);

    RECT mine, theirs;
    GetWindowRect(dialog, &mine);
    GetWindowRect(owner, &theirs);
    EXPECT_NEAR((mine.left + mine.right) / 2, (theirs.left + theirs.right) / 2, 1);
    EXPECT_NEAR((mine.top + mine.bottom) / 2, (theirs.top + theirs.bottom) / 2, 1);

    for (const std::wstring& fault : dialog_checks::LayoutFaults(dialog))
      ADD_FAILURE() << win::ToUtf8(fault);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
  });
}

TEST_F(AboutDialog, ShowsAnIconOnAWhiteForm) {
  Open([](HWND dialog) {
    HWND image = GetDlgItem(dialog, about::kIcon);
    EXPECT_NE(reinterpret_cast<HICON>(SendMessageW(image, STM_GETICON, 0, 0)), nullptr);
    UpdateWindow(dialog);
    // A spot of the form away from every control, and one inside a label
    // after its text, are both white.
    HDC dc = GetDC(dialog);
    EXPECT_EQ(GetPixel(dc, win::TwipsToPixelsX(4900), win::TwipsToPixelsY(1000)) & 0xFFFFFF,
              RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, win::TwipsToPixelsX(4800), win::TwipsToPixelsY(500)) & 0xFFFFFF,
              RGB(255, 255, 255));
    ReleaseDC(dialog, dc);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
  });
}

TEST_F(AboutDialog, EscapeAndEnterClose) {
  for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
    Open([key](HWND dialog) {
      SetForegroundWindow(dialog);
      SetFocus(dialog);
      PostMessageW(dialog, WM_KEYDOWN, key, 0);
    });
  }
}

TEST_F(AboutDialog, EachOpeningLoadsItsControlsAfresh) {
  for (int i = 0; i < 2; ++i) {
    Open([](HWND dialog) {
      int children = 0;
      for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++children;
      EXPECT_EQ(children, 4);
      EXPECT_EQ(ControlText(dialog, about::kVersion), L"Version 2.0 β6 (build.0019)");
      PostMessageW(dialog, WM_CLOSE, 0, 0);
    });
  }
}

#endif  // ABOUT_TEST_REVISION == 19

}  // namespace
