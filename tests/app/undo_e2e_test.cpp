// Undo with the real program, driven from outside its process: a run, the
// program closed and started again, the undo from the menu; a run killed
// between recording a rename and making it, undone after a restart; an
// undo started from another current folder, with other files at a name the
// run gave; and a tag that outgrew its room between the run and the undo.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "app/main_window.h"
#include "audio/property/property_dialog.h"
#include "tests/support/expected_report.h"
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
  // Starts the program with currentFolder as its current folder.
  void StartIn(const std::wstring& currentFolder, const std::wstring& arguments) {
    EndProgram();
    std::wstring command = L"\"" + (*folder_ / L"velnoir.exe") + L"\" " + arguments;
    STARTUPINFOW si{sizeof(si)};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               currentFolder.c_str(), &si, &process_));
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
  // Three renames recorded, one "source TAB target" line each.
  EXPECT_EQ(std::count(journal.begin(), journal.end(), '\t'), 3) << journal;

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

namespace {

constexpr const wchar_t* kReplacedText =
    L"リネーム後のファイルが別のファイルに置き換わっています。";

std::wstring UndoLine(const std::wstring& target, const std::wstring& outcome, bool done = true) {
  return expected_report::Line(done, target, outcome);
}

uint64_t FileIndexOf(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  BY_HANDLE_FILE_INFORMATION information{};
  GetFileInformationByHandle(file, &information);
  CloseHandle(file);
  return static_cast<uint64_t>(information.nFileIndexHigh) << 32 | information.nFileIndexLow;
}

}  // namespace

// A template with a relative full path puts the files in the current folder
// of the run; an undo started from another folder, where a file of the same
// name sits, takes back the run's files only, and a byte-identical copy put
// in place of one of them stays where it is.
TEST_F(UndoProgramTest, AnUndoFromAnotherFolderMovesOnlyTheFilesTheRunMoved) {
  WriteBytes(*folder_ / L"velnoir.ini",
             "[QKPomeren_SE Setting]\r\nRenameExt_Default=FP#%A - %T\r\n");
  std::wstring arguments;
  for (const std::wstring& s : sources_) arguments += L" \"" + s + L"\"";
  StartIn(*folder_ / L"music", arguments);
  std::wstring report = RunFromMenu(window_, IDM_EXECRENAME);
  ASSERT_NE(report.find(L"成功ファイル数：4\r\n"), std::wstring::npos)
      << testing::PrintToString(report);
  for (size_t i = 0; i < targets_.size(); ++i) ASSERT_EQ(ReadBytes(targets_[i]), bytes_[i]) << i;
  ASSERT_TRUE(CloseAndEnd());

  const std::wstring elsewhere = *folder_ / L"elsewhere";
  CreateDirectoryW(elsewhere.c_str(), nullptr);
  const std::wstring unrelated = elsewhere + L"\\Artist1 - Title1.mp3";
  WriteBytes(unrelated, "an unrelated file");
  ASSERT_TRUE(CopyFileW(targets_[1].c_str(), (*folder_ / L"copy.mp3").c_str(), TRUE));
  ASSERT_TRUE(MoveFileExW((*folder_ / L"copy.mp3").c_str(), targets_[1].c_str(),
                          MOVEFILE_REPLACE_EXISTING));

  StartIn(elsewhere, L"");
  report = RunFromMenu(window_, IDM_UNDORENAME);
  EXPECT_EQ(report, UndoLine(targets_[3], sources_[3]) + UndoLine(targets_[2], sources_[2]) +
                        UndoLine(targets_[1], kReplacedText, false) +
                        UndoLine(targets_[0], sources_[0]) +
                        L"総ファイル数　：4\r\n成功ファイル数：3\r\n失敗ファイル数：1\r\n");
  EXPECT_EQ(ReadBytes(unrelated), "an unrelated file");
  EXPECT_FALSE(Exists(elsewhere + L"\\track1.mp3"));
  EXPECT_EQ(ReadBytes(sources_[0]), bytes_[0]);
  EXPECT_EQ(ReadBytes(targets_[1]), bytes_[1]);
  EXPECT_FALSE(Exists(sources_[1]));
  ASSERT_TRUE(CloseAndEnd());
}

// The property dialog writes a tag that outgrew its room through a new file
// that replaces the old: the undo still takes that file back.
TEST_F(UndoProgramTest, AFileWhoseTagOutgrewItsRoomAfterTheRunIsStillUndone) {
  WriteBytes(*folder_ / L"velnoir.ini", "[QKPomeren_SE Setting]\r\nPreferID3v2=1\r\n");
  Start(true);
  ASSERT_NE(RunFromMenu(window_, IDM_EXECRENAME).find(L"成功ファイル数：4\r\n"),
            std::wstring::npos);
  ASSERT_TRUE(CloseAndEnd());

  const uint64_t indexBefore = FileIndexOf(targets_[0]);
  ProgramTest::Start(L"\"" + targets_[0] + L"\"");
  window_ = MainWindowOf();
  ASSERT_NE(window_, nullptr);
  HWND list = Child(window_, WC_LISTVIEWW);
  program_driver::Remote(window_).SelectItem(list, 0);
  PostMessageW(window_, WM_COMMAND, IDM_RMPROPERTY, 0);
  HWND dialog = WaitForShownWindow(L"VelnoirFileProperty", L"Artist1 - Title1.mp3 のプロパティ");
  ASSERT_NE(dialog, nullptr);
  SendMessageW(GetDlgItem(dialog, PropertyDialog::kTitle), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(L"A title that needs an ID3v2 tag of its own"));
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(PropertyDialog::kOk, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, PropertyDialog::kOk)));
  for (int i = 0; i < 200 && IsWindow(dialog); ++i) Sleep(50);
  ASSERT_FALSE(IsWindow(dialog));
  const std::string edited = ReadBytes(targets_[0]);
  ASSERT_EQ(edited.substr(0, 3), "ID3");
  ASSERT_NE(FileIndexOf(targets_[0]), indexBefore) << "the tag was written in place";

  std::wstring report = RunFromMenu(window_, IDM_UNDORENAME);
  EXPECT_NE(report.find(UndoLine(targets_[0], sources_[0])), std::wstring::npos)
      << testing::PrintToString(report);
  EXPECT_NE(report.find(L"成功ファイル数：4\r\n"), std::wstring::npos);
  EXPECT_EQ(ReadBytes(sources_[0]), edited);
  for (size_t i = 1; i < sources_.size(); ++i) EXPECT_EQ(ReadBytes(sources_[i]), bytes_[i]) << i;
  ASSERT_TRUE(CloseAndEnd());
}
