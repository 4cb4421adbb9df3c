// A run that creates the folders its targets name, and its undo: the
// folders are recorded before they are made, the undo removes exactly the
// empty ones it made, and a folder that cannot be made fails its entry alone.
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/progress_window.h"
#include "engine/rename_entry.h"
#include "engine/target_folders.h"
#include "engine/undo_journal.h"
#include "engine/undo_run.h"
#include "tests/engine/list_view_host.h"
#include "tests/engine/win_support.h"
#include "win/ui.h"
#include "tests/support/run_adapters.h"

using engine_test::Exists;
using engine_test::ListViewHost;
using engine_test::ReadBytes;
using engine_test::ScratchFolder;
using engine_test::WriteBytes;

namespace {

class MakeFoldersTest : public testing::Test {
 protected:
  ListViewHost host;
  ScratchFolder dir{L"mkdirs"};
  ScratchFolder program{L"mkdirsprog"};
  std::wstring journalPath = JournalPathIn(program.Path());

  std::wstring File(const std::wstring& name) {
    WriteBytes(dir / name, "bytes of " + std::string(name.begin(), name.end()));
    return dir / name;
  }
  std::wstring Run(bool makeFolders) {
    JournalFile journal(journalPath);
    RenameRunHooks hooks;
    hooks.makeFolders = makeFolders;
    return RenameReport(host.window, *host.list, journal, hooks);
  }
  std::wstring Undo() { return UndoReport(host.window, journalPath); }
  bool IsFolder(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
};

}  // namespace

TEST_F(MakeFoldersTest, RunCreatesNestedFoldersAndUndoRemovesExactlyThose) {
  std::wstring a = File(L"a.mp3"), b = File(L"b.mp3"), c = File(L"c.mp3");
  CreateDirectoryW((dir / L"Artist").c_str(), nullptr);  // there before the run
  host.list->Append({a, dir / L"Artist\\Album\\01 A.mp3", L"", L""});
  host.list->Append({b, dir / L"Artist\\Album\\02 B.mp3", L"", L""});
  host.list->Append({c, dir / L"Other\\Live\\Disc 1\\03 C.mp3", L"", L""});
  std::wstring report = Run(true);
  EXPECT_EQ(host.list->Count(), 0) << testing::PrintToString(report);
  EXPECT_EQ(ReadBytes(dir / L"Artist\\Album\\02 B.mp3"), "bytes of b.mp3");
  Journal journal = ReadJournalFile(journalPath);
  EXPECT_EQ(journal.createdFolders,
            (std::vector<std::wstring>{dir / L"Artist\\Album", dir / L"Other", dir / L"Other\\Live",
                                       dir / L"Other\\Live\\Disc 1"}));
  EXPECT_EQ(journal.entries.size(), 3u);

  // Someone puts a file of their own into one of the new folders.
  WriteBytes(dir / L"Other\\Live\\cover.jpg", "jpg");
  report = Undo();
  EXPECT_EQ(ReadBytes(a), "bytes of a.mp3");
  EXPECT_EQ(ReadBytes(c), "bytes of c.mp3");
  EXPECT_FALSE(Exists(dir / L"Artist\\Album"));
  EXPECT_TRUE(IsFolder(dir / L"Artist"));  // not made by the run
  EXPECT_FALSE(Exists(dir / L"Other\\Live\\Disc 1"));
  EXPECT_TRUE(IsFolder(dir / L"Other\\Live"));
  EXPECT_TRUE(IsFolder(dir / L"Other"));  // holds the folder that stays
  EXPECT_NE(report.find(kFolderKeptText + (dir / L"Other\\Live") + L"\r\n"), std::wstring::npos)
      << report;
  EXPECT_NE(report.find(kFolderKeptText + (dir / L"Other") + L"\r\n"), std::wstring::npos)
      << report;
  EXPECT_EQ(report.find(dir / L"Artist\\Album" + L"\r\n"), std::wstring::npos) << report;
  EXPECT_FALSE(Exists(journalPath));
}

TEST_F(MakeFoldersTest, AFolderThatCannotBeMadeFailsItsEntryAlone) {
  std::wstring a = File(L"a.mp3"), b = File(L"b.mp3");
  WriteBytes(dir / L"Blocked", "a file where a folder should go");
  host.list->Append({a, dir / L"Blocked\\A.mp3", L"", L""});
  host.list->Append({b, dir / L"Fine\\B.mp3", L"", L""});
  std::wstring report = Run(true);
  EXPECT_NE(report.find(L"× " + a + L"\r\n -> リネームエラー："), std::wstring::npos) << report;
  EXPECT_NE(report.find(L"○ " + b), std::wstring::npos) << report;
  EXPECT_EQ(ReadBytes(dir / L"Blocked"), "a file where a folder should go");
  EXPECT_TRUE(Exists(a));
  EXPECT_EQ(host.list->Count(), 1);
  Undo();
  EXPECT_TRUE(Exists(b));
  EXPECT_FALSE(Exists(dir / L"Fine"));
  EXPECT_TRUE(Exists(dir / L"Blocked"));  // a file named in the journal is never removed
}

TEST_F(MakeFoldersTest, OffTheRunFailsAsBeforeAndMakesNothing) {
  std::wstring a = File(L"a.mp3");
  host.list->Append({a, dir / L"New\\A.mp3", L"", L""});
  std::wstring report = Run(false);
  EXPECT_NE(report.find(L"× " + a + L"\r\n -> リネームエラー："), std::wstring::npos) << report;
  EXPECT_FALSE(Exists(dir / L"New"));
  EXPECT_TRUE(Exists(a));
}
