// Undo with the real program, driven from outside its process: a run, the
// program closed and started again, the undo from the menu; and a run
// killed between recording a rename and making it, undone after a restart.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "app/main_window.h"
#include "tests/support/program_driver.h"
#include "tests/support/silent_mp3.h"
#include "tests/support/test_files.h"

using testing_files::ReadBytes;
using testing_files::WriteBytes;

namespace {

// Silent frames the audio library reads, then an ID3v1 tag: the program
// names the file "artist - title.mp3".
std::string TaggedMp3(const std::string& artist, const std::string& title) {
  return testing_files::SilentFrames(8) + testing_files::Id3v1Tag(title, artist);
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class UndoProgramTest : public program_driver::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    CreateDirectoryW((*folder_ / L"music").c_str(), nullptr);
    for (int i = 1; i <= 4; ++i) {
      std::string n = std::to_string(i);
      std::wstring source = *folder_ / (L"music\\track" + std::to_wstring(i) + L".mp3");
      WriteBytes(source, TaggedMp3("Artist" + n, "Title" + n));
      sources_.push_back(source);
      targets_.push_back(*folder_ / (L"music\\Artist" + std::to_wstring(i) + L" - Title" +
                                     std::to_wstring(i) + L".mp3"));
      bytes_.push_back(ReadBytes(source));
    }
  }

  // Starts the program, with the test's files on its command line or none;
  // killAtRename starts its test build instead (unless testBuild is false),
  // which ends itself with that rename recorded and not made.
  void Start(bool withFiles, const wchar_t* killAtRename = nullptr, bool testBuild = true) {
    std::wstring arguments;
    if (withFiles)
      for (const std::wstring& s : sources_) arguments += L" \"" + s + L"\"";
    std::wstring program = *folder_ / L"velnoir.exe";
    std::wstring build = killAtRename && testBuild ? L"velnoir_kill_at_rename.exe" : L"velnoir.exe";
    CopyFileW((testing_files::BinFolder() + L"\\" + build).c_str(), program.c_str(), FALSE);
    SetEnvironmentVariableW(L"VELNOIR_TEST_KILL_AT_RENAME", killAtRename);
    ProgramTest::Start(arguments);
    SetEnvironmentVariableW(L"VELNOIR_TEST_KILL_AT_RENAME", nullptr);
    window_ = MainWindowOf();
    ASSERT_NE(window_, nullptr);
  }
  bool CloseAndEnd() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    return Ends();
  }
  void ExpectOriginalFiles() {
    for (size_t i = 0; i < sources_.size(); ++i) {
      EXPECT_EQ(ReadBytes(sources_[i]), bytes_[i]) << i;
      EXPECT_FALSE(Exists(targets_[i])) << i;
    }
  }

  HWND window_ = nullptr;
  std::vector<std::wstring> sources_, targets_;
  std::vector<std::string> bytes_;
};

}  // namespace

TEST_F(UndoProgramTest, RenameCloseStartAgainAndUndoFromTheMenu) {
  // The shipping program has no test hook: the variable changes nothing.
  Start(true, L"1", false);
  std::wstring report = RunFromMenu(window_, IDM_EXECRENAME);
  EXPECT_NE(report.find(L"成功ファイル数：4\r\n"), std::wstring::npos)
      << testing::PrintToString(report);
  for (size_t i = 0; i < sources_.size(); ++i) {
    EXPECT_FALSE(Exists(sources_[i])) << i;
    EXPECT_EQ(ReadBytes(targets_[i]), bytes_[i]) << i;
  }
  ASSERT_TRUE(CloseAndEnd());
  ASSERT_TRUE(Exists(*folder_ / L"velnoir.jnl"));

  Start(false);
  report = RunFromMenu(window_, IDM_UNDORENAME);
  std::wstring expected;
  for (size_t i = sources_.size(); i-- > 0;)
    expected += L"○ " + targets_[i] + L"\r\n -> " + sources_[i] + L"\r\n\r\n";
  expected += L"総ファイル数　：4\r\n成功ファイル数：4\r\n失敗ファイル数：0\r\n";
  EXPECT_EQ(report, expected);
  ExpectOriginalFiles();
  EXPECT_FALSE(Exists(*folder_ / L"velnoir.jnl"));
  ASSERT_TRUE(CloseAndEnd());
}

TEST_F(UndoProgramTest, AKilledRunIsUndoneAfterTheNextStart) {
  // Killed with the third rename recorded and not made.
  Start(true, L"3");
  PostMessageW(window_, WM_COMMAND, IDM_EXECRENAME, 0);
  ASSERT_EQ(WaitForSingleObject(process_.hProcess, 20000), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  EXPECT_EQ(code, 9u);
  EXPECT_TRUE(Exists(targets_[0]) && Exists(targets_[1]));
  EXPECT_TRUE(Exists(sources_[2]) && Exists(sources_[3]));
  std::string journal = ReadBytes(*folder_ / L"velnoir.jnl");
  EXPECT_EQ(std::count(journal.begin(), journal.end(), '\n'), 4) << journal;

  Start(false);
  std::wstring report = RunFromMenu(window_, IDM_UNDORENAME);
  EXPECT_EQ(
      report.substr(0, report.find(L"\r\n\r\n") + 4),
      L"△ " + targets_[2] + L"\r\n -> リネームされていなかったため、元の名前のままです。\r\n\r\n");
  EXPECT_NE(report.find(L"○ " + targets_[1] + L"\r\n -> " + sources_[1] + L"\r\n"),
            std::wstring::npos);
  EXPECT_NE(report.find(L"総ファイル数　：3\r\n成功ファイル数：3\r\n失敗ファイル数：0\r\n"),
            std::wstring::npos)
      << testing::PrintToString(report);
  ExpectOriginalFiles();
  EXPECT_FALSE(Exists(*folder_ / L"velnoir.jnl"));
  ASSERT_TRUE(CloseAndEnd());
}
