// The real program driven from outside its process through the faults users
// met in daily use: each test shows one of them mended.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "app/main_window.h"
#include "tests/app/program_driver.h"
#include "tests/app/test_files.h"
#include "win/text.h"

using program_driver::ProgramTest;
using program_driver::StartXdoTool;
using program_driver::XdoClick;
using testing_files::WriteBytes;

namespace {

// Screen points inside the list: on its first row, and in the empty area
// below the rows.
struct ListPoints {
  POINT entry, empty, elsewhere;
};
ListPoints PointsOf(HWND list) {
  RECT client;
  GetClientRect(list, &client);
  RECT header{};
  if (HWND h = FindWindowExW(list, nullptr, WC_HEADERW, nullptr)) GetClientRect(h, &header);
  ListPoints p{};
  p.entry = {60, header.bottom + 8};
  p.empty = {client.right / 2, client.bottom - 15};
  p.elsewhere = {client.right - 40, client.bottom - 30};
  for (POINT* point : {&p.entry, &p.empty, &p.elsewhere}) ClientToScreen(list, point);
  return p;
}

}  // namespace

// The pop-up menu opens at every right click, also after it was dismissed by
// a left click elsewhere, which leaves the thread's own record of the left
// button showing it held.
TEST_F(ProgramTest, PopupMenuOpensAgainAfterAClickDismissedItWaitingForRealInput) {
  WriteBytes(*folder_ / L"a.mp3", "no tag");
  Start(L"\"" + (*folder_ / L"a.mp3") + L"\"");
  HWND window = MainWindowOf();
  ASSERT_NE(window, nullptr);
  HWND list = Child(window, WC_LISTVIEWW);
  ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 1);
  ListPoints at = PointsOf(list);
  // Each click waits for the menu to open or close, however long the real
  // input takes to arrive: this test waits for the display on purpose.
  if (!StartXdoTool(XdoClick(at.elsewhere, 1))) GTEST_SKIP() << "no xdotool for real mouse input";
  for (int round = 0; round < 7; ++round) {
    StartXdoTool(XdoClick(round % 2 ? at.empty : at.entry, 3));
    ASSERT_TRUE(PopupMenuBecomes(true)) << "round " << round;
    StartXdoTool(XdoClick(at.elsewhere, 1));
    ASSERT_TRUE(PopupMenuBecomes(false)) << "round " << round;
  }
  // A right release while the left button is held opens nothing.
  StartXdoTool(L"mousemove " + std::to_wstring(at.empty.x) + L" " + std::to_wstring(at.empty.y) +
               L" mousedown 1 sleep 0.2 click 3 sleep 0.3 mouseup 1");
  EXPECT_FALSE(PopupMenuBecomes(true, 800));
  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(Ends());
}

// A message built from a system text (here: the list file cannot be written
// at close) reads as the system wrote it, without replacement characters.
TEST_F(ProgramTest, SystemErrorTextsAreReadable) {
  Start(L"");
  HWND window = MainWindowOf();
  ASSERT_NE(window, nullptr);
  // Held without sharing, the file cannot be written at close.
  HANDLE held = CreateFileW((*folder_ / L"velnoir.lst").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  PostMessageW(window, WM_CLOSE, 0, 0);
  HWND message = WaitForWindow(L"#32770", nullptr);
  ASSERT_NE(message, nullptr);
  std::wstring texts;
  for (HWND child = nullptr; (child = FindWindowExW(message, child, L"Static", nullptr)) != nullptr;) {
    wchar_t text[1024] = {};
    GetWindowTextW(child, text, 1024);
    texts += text;
  }
  EXPECT_EQ(texts.find(L'\uFFFD'), std::wstring::npos) << win::ToUtf8(texts);
  // Wine's messages are in the system's language: Japanese here.
  EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](wchar_t c) { return c >= 0x3000; }))
      << win::ToUtf8(texts);
  PostMessageW(message, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(Ends());
  CloseHandle(held);
}
