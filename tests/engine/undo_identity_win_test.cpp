// Undo puts back only the files the run moved: another file at a target,
// even a byte-identical copy, stays where it is; a file changed in place,
// or written anew by the program's tag editor, is still the run's; a
// journal of an earlier version undoes as it did; an undo started from
// another current folder finds the run's files.
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/undo_journal.h"
#include "engine/undo_run.h"
#include "tests/engine/list_view_host.h"
#include "tests/engine/win_support.h"
#include "tests/support/run_adapters.h"

using engine_test::Exists;
using engine_test::ReadBytes;
using engine_test::ScratchFolder;
using engine_test::WriteBytes;

namespace {

constexpr const wchar_t* kReplaced = L"リネーム後のファイルが別のファイルに置き換わっています。";

// Writes path anew through a file beside it that replaces it, as a tag
// writer does when the tag outgrows its room: same name, another file.
void WriteAnew(const std::wstring& path, const std::string& bytes) {
  WriteBytes(path + L".tmp", bytes);
  ASSERT_TRUE(MoveFileExW((path + L".tmp").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING));
}

// Restores the current folder when the test ends.
struct CurrentFolder {
  wchar_t saved[MAX_PATH] = {};
  CurrentFolder() { GetCurrentDirectoryW(MAX_PATH, saved); }
  ~CurrentFolder() { SetCurrentDirectoryW(saved); }
};

class UndoIdentityTest : public testing::Test {
 protected:
  engine_test::ListViewHost host;
  ScratchFolder dir{L"undoid"};
  std::wstring journalPath = JournalPathIn(dir.Path());

  // Renames name to "new " + name for each name; returns the new paths.
  std::vector<std::wstring> Run(const std::vector<std::wstring>& names) {
    std::vector<std::wstring> targets;
    for (const std::wstring& name : names) {
      WriteBytes(dir / name, "bytes of " + std::string(name.begin(), name.end()));
      targets.push_back(dir / (L"new " + name));
      host.list->Append({dir / name, targets.back(), L"", L""});
    }
    JournalFile journal(journalPath);
    RenameReport(host.window, *host.list, journal, {});
    return targets;
  }
  std::wstring Undo() { return UndoReport(host.window, journalPath, nullptr); }
};

}  // namespace

TEST_F(UndoIdentityTest, AnotherFileAtTheTargetStaysAndAFileChangedInPlaceComesBack) {
  std::vector<std::wstring> t = Run({L"a.mp3", L"b.mp3"});
  // a's target now holds a byte-identical copy in place of a; b was changed
  // in place (a tag edited in its room).
  ASSERT_TRUE(CopyFileW(t[0].c_str(), (dir / L"copy").c_str(), TRUE));
  ASSERT_TRUE(MoveFileExW((dir / L"copy").c_str(), t[0].c_str(), MOVEFILE_REPLACE_EXISTING));
  {
    HANDLE file = CreateFileW(t[1].c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD wrote = 0;
    WriteFile(file, "BYTES", 5, &wrote, nullptr);
    CloseHandle(file);
  }
  std::wstring report = Undo();
  EXPECT_EQ(report.substr(report.find(L"× ")),
            L"× " + t[0] + L"\r\n -> " + kReplaced +
                L"\r\n\r\n総ファイル数　：2\r\n成功ファイル数：1\r\n失敗ファイル数：1\r\n");
  EXPECT_EQ(ReadBytes(dir / L"b.mp3"), "BYTES of b.mp3");
  EXPECT_EQ(ReadBytes(t[0]), "bytes of a.mp3");
  EXPECT_FALSE(Exists(dir / L"a.mp3"));
  // The line stays, with the identity, for an undo once the file is back.
  Journal kept = ReadJournalFile(journalPath);
  ASSERT_EQ(kept.entries.size(), 1u);
  EXPECT_EQ(kept.entries[0].target, t[0]);
  EXPECT_TRUE(kept.entries[0].identity.has_value());
}

TEST_F(UndoIdentityTest, AJournalOfAnEarlierVersionUndoesAsItDid) {
  WriteBytes(dir / L"new a.mp3", "a file the line names");
  WriteBytes(journalPath, FormatJournal(L"ぽめろ リネーム記録 開始 2024/01/01 00:00:00",
                                        {{dir / L"a.mp3", dir / L"new a.mp3"}}));
  EXPECT_NE(Undo().find(L"○ " + dir / L"new a.mp3"), std::wstring::npos);
  EXPECT_EQ(ReadBytes(dir / L"a.mp3"), "a file the line names");
  EXPECT_FALSE(Exists(journalPath));
}

TEST_F(UndoIdentityTest, AFileTheTagEditorWroteAnewIsStillTakenBack) {
  std::vector<std::wstring> t = Run({L"a.mp3", L"b.mp3"});
  JournalIdentityWatch watch(journalPath, t[0]);
  WriteAnew(t[0], "a with a grown tag");
  EXPECT_EQ(watch.AfterRewrite(), 0u);
  WriteAnew(t[1], "b written anew by another program");
  std::wstring report = Undo();
  EXPECT_NE(report.find(L"○ " + t[0] + L"\r\n -> " + dir / L"a.mp3"), std::wstring::npos)
      << testing::PrintToString(report);
  EXPECT_NE(report.find(L"× " + t[1] + L"\r\n -> " + kReplaced), std::wstring::npos);
  EXPECT_EQ(ReadBytes(dir / L"a.mp3"), "a with a grown tag");
  EXPECT_TRUE(Exists(t[1]));
  // Without a journal, or for a file no rename names, the watch does nothing.
  EXPECT_EQ(JournalIdentityWatch(L"", t[1]).AfterRewrite(), 0u);
  JournalIdentityWatch unrelated(journalPath, dir / L"other.mp3");
  WriteBytes(dir / L"other.mp3", "x");
  EXPECT_EQ(unrelated.AfterRewrite(), 0u);
  EXPECT_EQ(ReadJournalFile(journalPath).entries.size(), 1u);
}

TEST_F(UndoIdentityTest, AnUndoFromAnotherCurrentFolderTakesBackTheRunsFilesOnly) {
  CurrentFolder restore;
  CreateDirectoryW((dir / L"music").c_str(), nullptr);
  CreateDirectoryW((dir / L"elsewhere").c_str(), nullptr);
  WriteBytes(dir / L"music\\a.mp3", "the song");
  WriteBytes(dir / L"elsewhere\\A - T.mp3", "an unrelated file");
  ASSERT_TRUE(SetCurrentDirectoryW((dir / L"music").c_str()));
  host.list->Append({L"a.mp3", L"A - T.mp3", L"", L""});
  JournalFile journal(journalPath);
  RenameReport(host.window, *host.list, journal, {});
  ASSERT_EQ(ReadBytes(dir / L"music\\A - T.mp3"), "the song");

  ASSERT_TRUE(SetCurrentDirectoryW((dir / L"elsewhere").c_str()));
  std::wstring report = Undo();
  EXPECT_NE(report.find(L"○ " + dir / L"music\\A - T.mp3"), std::wstring::npos)
      << testing::PrintToString(report);
  EXPECT_EQ(ReadBytes(dir / L"music\\a.mp3"), "the song");
  EXPECT_EQ(ReadBytes(dir / L"elsewhere\\A - T.mp3"), "an unrelated file");
  EXPECT_FALSE(Exists(dir / L"elsewhere\\a.mp3"));
}

// The run moves each file through the handle its identity was read from;
// a name another file took meanwhile is never replaced.
TEST_F(UndoIdentityTest, TheHeldFileMovesWithItsIdentityAndNeverReplacesAnother) {
  FileIdentityReader identities;
  WriteBytes(dir / L"a.mp3", "a");
  FileToMove a(dir / L"a.mp3", identities);
  ASSERT_TRUE(a.Identity().has_value());
  CreateDirectoryW((dir / L"sub").c_str(), nullptr);
  EXPECT_EQ(a.MoveTo(dir / L"a.mp3", dir / L"sub\\b.mp3"), 0u);
  EXPECT_EQ(identities.Read(dir / L"sub\\b.mp3"), a.Identity());
  EXPECT_EQ(ReadBytes(dir / L"sub\\b.mp3"), "a");

  WriteBytes(dir / L"c.mp3", "c");
  FileToMove c(dir / L"c.mp3", identities);
  WriteBytes(dir / L"taken.mp3", "taken meanwhile");
  EXPECT_NE(c.MoveTo(dir / L"c.mp3", dir / L"taken.mp3"), 0u);
  EXPECT_EQ(ReadBytes(dir / L"taken.mp3"), "taken meanwhile");
  EXPECT_EQ(ReadBytes(dir / L"c.mp3"), "c");
  FileToMove missing(dir / L"none.mp3", identities);
  EXPECT_FALSE(missing.Identity().has_value());
}
