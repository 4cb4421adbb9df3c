// The player of the real program, driven from outside its process as a
// user's desktop would: a double click with no sound device, a double click
// with one, and continuous play over entries that cannot be opened.
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "tests/support/program_driver.h"
#include "tests/support/test_files.h"
#include "win/text.h"

using program_driver::Remote;
using testing_files::SilentMp3;
using testing_files::WriteBytes;

namespace {

// The program started from a scratch folder (see program_driver), with the
// player's own ways of looking at it.
class PlayerProgramTest : public program_driver::ProgramTest {
 protected:
  // Starts the program with files on its command line.
  void Start(const std::vector<std::wstring>& files) {
    std::wstring arguments;
    for (const std::wstring& file : files)
      arguments += (arguments.empty() ? L"\"" : L" \"") + file + L"\"";
    ProgramTest::Start(arguments);
    window_ = MainWindowOf();
    ASSERT_NE(window_, nullptr);
    list_ = Child(window_, WC_LISTVIEWW);
    status_ = Child(window_, STATUSCLASSNAMEW);
    remote_ = std::make_unique<Remote>(window_);
  }
  // The program's message boxes open at this moment.
  std::vector<HWND> OpenBoxes() {
    std::vector<HWND> boxes;
    HWND found = nullptr;
    while ((found = FindWindowExW(nullptr, found, L"#32770", nullptr)) != nullptr) {
      DWORD pid = 0;
      GetWindowThreadProcessId(found, &pid);
      if (pid == process_.dwProcessId && IsWindowVisible(found)) boxes.push_back(found);
    }
    return boxes;
  }
  static std::wstring Text(HWND window) {
    wchar_t buffer[512] = {};
    GetWindowTextW(window, buffer, 512);
    return buffer;
  }
  void DoubleClickFirstEntry() {
    remote_->SelectItem(list_, 0);
    RECT r = remote_->ItemRect(list_, 0);
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageW(list_, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageW(list_, WM_LBUTTONUP, 0, at);
  }
  std::wstring WaitForStatus(const std::wstring& prefix, int milliseconds = 6000) {
    std::wstring seen;
    for (int waited = 0; waited < milliseconds; waited += 100) {
      seen = remote_->StatusText(status_, 1);
      if (seen.rfind(prefix, 0) == 0) break;
      Sleep(100);
    }
    return seen;
  }

  HWND window_ = nullptr, list_ = nullptr, status_ = nullptr;
  std::unique_ptr<Remote> remote_;
};

const char kDoubleClickPlays[] = "[QKPomeren_SE Setting]\r\nDobleClick=1\r\n";

}  // namespace

// Without any sound device the file opens but cannot start: the double click
// must not pass in silence. ctest runs this case a second time with a sound
// server that is not there (see CMakeLists.txt); the program inherits that.
TEST_F(PlayerProgramTest, DoubleClickWithoutASoundDeviceShowsThePlayError) {
  if (waveOutGetNumDevs() != 0) GTEST_SKIP() << "a sound device is present";
  WriteBytes(*folder_ / L"velnoir.ini", kDoubleClickPlays);
  std::wstring song = *folder_ / L"song.mp3";
  WriteBytes(song, SilentMp3(115, "Quiet"));
  Start({song});
  DoubleClickFirstEntry();
  HWND box = WaitForShownWindow(L"#32770", L"ぽめろ", 10000);
  ASSERT_NE(box, nullptr) << "no message after the double click";
  EXPECT_EQ(Text(GetDlgItem(box, 0xFFFF)), L"再生エラー：9");
  EXPECT_NE(GetDlgItem(box, IDOK), nullptr);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(50);
  EXPECT_EQ(WaitForStatus(L"停止"), L"停止");
  // The player stopped: no further box follows.
  Sleep(1500);
  EXPECT_TRUE(OpenBoxes().empty());
}

TEST_F(PlayerProgramTest, DoubleClickWithTheSessionsSoundDevicePlays) {
  if (waveOutGetNumDevs() == 0) GTEST_SKIP() << "no audio output device";
  WriteBytes(*folder_ / L"velnoir.ini", kDoubleClickPlays);
  std::wstring song = *folder_ / L"song.mp3";
  WriteBytes(song, SilentMp3(115, "Quiet"));
  Start({song});
  DoubleClickFirstEntry();
  std::wstring seen = WaitForStatus(L"再生中");
  EXPECT_EQ(seen.substr(0, 14), L"再生中 - Quiet - ") << win::ToUtf8(seen);
  EXPECT_TRUE(OpenBoxes().empty());
  PostMessageW(window_, WM_COMMAND, IDM_PLAYERSTOP, 0);
}

// Continuous play over three entries that cannot be opened, each for its own
// reason so that its box tells which entry was tried: the first is deleted
// after adding, the second is no audio, the third is held by another program.
// The player moves on at its one-second tick: this test waits for real time
// on purpose, a few ticks per box.
TEST_F(PlayerProgramTest, ContinuousPlayOverUnopenableEntriesShowsOneBoxAtATime) {
  std::wstring gone = *folder_ / L"1 gone.mp3", text = *folder_ / L"2 text.mp3",
               held = *folder_ / L"3 held.mp3";
  WriteBytes(gone, SilentMp3(40, "Gone"));
  WriteBytes(text, std::string(4000, 'x'));
  WriteBytes(held, SilentMp3(40, "Held"));
  Start({gone, text, held});
  DeleteFileW(gone.c_str());
  HANDLE holder = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);

  PostMessageW(window_, WM_COMMAND, IDM_PLAYERREPEAT, 0);
  remote_->SelectItem(list_, 0);
  PostMessageW(window_, WM_COMMAND, IDM_PLAYERPLAY, 0);
  const std::wstring expected[] = {L"再生エラー：1", L"再生エラー：3", L"再生エラー：2",
                                   L"再生エラー：1"};
  for (const std::wstring& want : expected) {
    SCOPED_TRACE(win::ToUtf8(want));
    HWND box = WaitForWindow(L"#32770", L"ぽめろ", 10000);
    ASSERT_NE(box, nullptr);
    // A second and a half with the box open: one or two player ticks, each
    // of which would open a second box if the player went on behind it.
    size_t mostOpen = 0;
    for (int i = 0; i < 15; ++i) {
      mostOpen = std::max(mostOpen, OpenBoxes().size());
      Sleep(100);
    }
    EXPECT_EQ(mostOpen, 1u);
    EXPECT_EQ(Text(GetDlgItem(box, 0xFFFF)), want);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(50);
    ASSERT_FALSE(IsWindow(box));
  }
  CloseHandle(holder);
  PostMessageW(window_, WM_COMMAND, IDM_PLAYERSTOP, 0);
}
