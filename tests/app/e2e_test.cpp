// The real program driven from outside its process, as a user's desktop
// would: started with files on its command line, read through its windows,
// closed, started again with a hand-written settings file.
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "tests/support/program_driver.h"
#include "tests/support/test_files.h"
#include "win/text.h"

using program_driver::ProgramTest;
using program_driver::Remote;
using program_driver::SilentMp3;
using testing_files::ReadBytes;
using testing_files::ScratchFolder;
using testing_files::WriteBytes;

TEST_F(ProgramTest, PlaysAnEntryAndShowsItsTime) {
  if (waveOutGetNumDevs() == 0) GTEST_SKIP() << "no audio output device";
  WriteBytes(*folder_ / L"tone.mp3", SilentMp3(115, "Quiet"));  // 3 seconds
  Start(L"\"" + (*folder_ / L"tone.mp3") + L"\"");
  HWND window = MainWindowOf();
  ASSERT_NE(window, nullptr);
  HWND list = Child(window, WC_LISTVIEWW), status = Child(window, STATUSCLASSNAMEW);
  Remote remote(window);
  remote.SelectItem(list, 0);
  PostMessageW(window, WM_COMMAND, IDM_PLAYERPLAY, 0);
  std::wstring seen;
  for (int i = 0; i < 60 && seen.rfind(L"再生中", 0) != 0; ++i) {
    Sleep(100);
    seen = remote.StatusText(status, 1);
  }
  EXPECT_EQ(seen.substr(0, 14), L"再生中 - Quiet - ");
  EXPECT_EQ(seen.substr(seen.size() - 6), L"/0:03 ");
  // Continuous play is off: at the end the player stops by itself.
  for (int i = 0; i < 80 && seen != L"停止"; ++i) {
    Sleep(100);
    seen = remote.StatusText(status, 1);
  }
  EXPECT_EQ(seen, L"停止");
  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(Ends());
}

TEST_F(ProgramTest, StartsWithCommandLineFilesAndSavesAtClose) {
  WriteBytes(*folder_ / L"a b.mp3", "no tag here");
  WriteBytes(*folder_ / L"c.mp3", "no tag here either");
  Start(L"\"" + (*folder_ / L"a b.mp3") + L"\" " + (*folder_ / L"missing.mp3") + L" " +
        (*folder_ / L"c.mp3"));
  HWND window = MainWindowOf();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindowVisible(window));
  wchar_t caption[128] = {};
  GetWindowTextW(window, caption, 128);
  EXPECT_STREQ(caption, L"MP3 Velnoir ぽめろ");

  HWND list = Child(window, WC_LISTVIEWW), status = Child(window, STATUSCLASSNAMEW);
  ASSERT_TRUE(list && status);
  Remote remote(window);
  EXPECT_EQ(remote.ColumnCaption(list, 0), L"元ファイル名(フルパス)");
  EXPECT_EQ(remote.ColumnCaption(list, 1), L"リネーム後ファイル名(フルパス)");
  EXPECT_EQ(remote.ColumnCaption(list, 2), L"元ファイル名(ファイル名のみ)");
  EXPECT_EQ(remote.ColumnCaption(list, 3), L"リネーム後ファイル名(ファイル名のみ)");
  ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(remote.ItemText(list, 0, 0), *folder_ / L"a b.mp3");
  EXPECT_EQ(remote.ItemText(list, 0, 2), L"a b.mp3");
  EXPECT_EQ(remote.ItemText(list, 1, 0), *folder_ / L"c.mp3");
  EXPECT_EQ(remote.StatusText(status, 0), L"項目数：2");
  EXPECT_EQ(remote.StatusText(status, 1), L"停止");

  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(Ends());
  std::string ini = ReadBytes(*folder_ / L"velnoir.ini");
  EXPECT_NE(ini.find("[QKPomeren_SE Window]"), std::string::npos) << ini;
  EXPECT_NE(ini.find("LastWindowState=0"), std::string::npos);
  EXPECT_NE(ini.find("RenameExt_Default=%A - %T"), std::string::npos);
  EXPECT_EQ(ReadBytes(*folder_ / L"velnoir.lst"), "%A - %T\r\n");
}

TEST_F(ProgramTest, ComesUpInTheStoredState) {
  WriteBytes(*folder_ / L"velnoir.ini",
             "[QKPomeren_SE Window]\r\nLastWindowState=2\r\nLastToolBarVisible=0\r\n"
             "LastToolBarStyleFlat=1\r\nLastShowFilenameOnly=1\r\n");
  Start(L"");
  HWND window = MainWindowOf();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsZoomed(window));
  HWND toolbar = Child(window, TOOLBARCLASSNAMEW), list = Child(window, WC_LISTVIEWW);
  EXPECT_FALSE(IsWindowVisible(toolbar));
  EXPECT_TRUE(GetWindowLongPtrW(toolbar, GWL_STYLE) & TBSTYLE_FLAT);
  EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), 0);
  EXPECT_GT(SendMessageW(list, LVM_GETCOLUMNWIDTH, 2, 0), 0);
  // The exit command saves like the close box and ends the process.
  PostMessageW(window, WM_COMMAND, IDM_EXIT, 0);
  ASSERT_TRUE(Ends());
  std::string ini = ReadBytes(*folder_ / L"velnoir.ini");
  EXPECT_NE(ini.find("LastWindowState=2"), std::string::npos) << ini;
  EXPECT_NE(ini.find("LastToolBarVisible=0"), std::string::npos);
  EXPECT_NE(ini.find("LastShowFilenameOnly=1"), std::string::npos);
}

TEST_F(ProgramTest, FirstStartCreatesTheTemplateList) {
  DeleteFileW((*folder_ / L"velnoir.lst").c_str());
  Start(L"");
  HWND message = WaitForWindow(L"#32770", L"ぽめろ 初期設定");
  ASSERT_NE(message, nullptr);
  PostMessageW(message, WM_COMMAND, IDOK, 0);
  HWND window = MainWindowOf();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(ReadBytes(*folder_ / L"velnoir.lst"), "%A - %T\r\n(%A) %T\r\n%T\r\n");
  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(Ends());
}

TEST_F(ProgramTest, MissingAudioLibraryEndsWithItsMessage) {
  DeleteFileW((*folder_ / L"VBMP3.dll").c_str());
  Start(L"");
  HWND message = WaitForShownWindow(L"#32770", L"DLL操作エラー");
  ASSERT_NE(message, nullptr);
  HWND text =
      FindWindowExW(message, nullptr, L"Static", L"VBMP3の初期化に失敗しました。起動できません。");
  EXPECT_NE(text, nullptr);
  PostMessageW(message, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(Ends());
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  EXPECT_NE(code, 0u);
  EXPECT_EQ(GetFileAttributesW((*folder_ / L"velnoir.ini").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(FindWindowW(MainWindow::kClassName, nullptr), nullptr);
}

// A file tagged by today's taggers (ID3v2 only) is named from its tag; a file
// with both tags keeps its ID3v1 name until the user prefers ID3v2, and then
// takes the ID3v2 texts, also beyond the ANSI code page.
TEST_F(ProgramTest, NamesFromID3v2TagsFollowTheSetting) {
  auto id3v23 = [](const std::wstring& title, const std::wstring& artist) {
    auto frame = [](const char* id, const std::wstring& text) {
      std::string body = "\x01\xFF\xFE";
      for (wchar_t c : text) body += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
      const char n = static_cast<char>(body.size());
      return std::string(id, 4) + std::string(3, '\0') + n + std::string(2, '\0') + body;
    };
    std::string frames = frame("TIT2", title) + frame("TPE1", artist);
    return std::string("ID3\x03\x00\x00\x00\x00\x00", 9) + static_cast<char>(frames.size()) +
           frames;
  };
  std::string withV1 = SilentMp3(20, "V1 Title");
  std::string audioOnly = withV1.substr(0, withV1.size() - 128);
  WriteBytes(*folder_ / L"only.mp3", id3v23(L"Song", L"Band") + audioOnly);
  WriteBytes(*folder_ / L"both.mp3", id3v23(L"노래", L"Café") + withV1);
  const std::wstring files =
      L"\"" + (*folder_ / L"only.mp3") + L"\" \"" + (*folder_ / L"both.mp3") + L"\"";
  for (bool prefer : {false, true}) {
    WriteBytes(*folder_ / L"velnoir.ini", std::string("[QKPomeren_SE Setting]\r\nPreferID3v2=") +
                                              (prefer ? "1" : "0") + "\r\n");
    Start(files);
    HWND window = MainWindowOf();
    ASSERT_NE(window, nullptr);
    HWND list = Child(window, WC_LISTVIEWW);
    Remote remote(window);
    ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(remote.ItemText(list, 0, 3), L"Band - Song.mp3");
    EXPECT_EQ(remote.ItemText(list, 1, 3),
              prefer ? L"Café - 노래.mp3" : L"ArtistName - V1 Title.mp3");
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Ends());
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
    process_ = {};
  }
}
