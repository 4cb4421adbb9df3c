// The rename run under the options dialog's choices, on the real file system
// with the journal: numbered names never replace a file and are what the
// journal records, so the undo puts every file back; entries that keep
// their name for an empty field stay in the list untouched.
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/progress_window.h"
#include "engine/undo_journal.h"
#include "engine/undo_run.h"
#include "settings/settings.h"
#include "tests/engine/list_view_host.h"
#include "tests/engine/win_support.h"
#include "win/ui.h"
#include "tests/support/run_adapters.h"

using engine_test::Exists;
using engine_test::ListViewHost;
using engine_test::Moves;
using engine_test::ReadBytes;
using engine_test::ScratchFolder;
using engine_test::WriteBytes;

class PolicyRunTest : public testing::Test {
 protected:
  ListViewHost host;
  ScratchFolder dir{L"policyrun"};
  std::wstring journalPath = JournalPathIn(dir.Path());

  Settings settings;
  std::wstring File(const std::wstring& name, const std::string& bytes) {
    WriteBytes(dir / name, bytes);
    return dir / name;
  }
  std::wstring Run() {
    JournalFile journal(journalPath);
    RenameRunHooks hooks;
    hooks.policies = RunPoliciesFrom(settings);
    return RenameReport(host.window, *host.list, journal, hooks);
  }
  std::wstring Undo() { return UndoReport(host.window, journalPath); }
};

// Three entries built to the name an existing file has: "(2)", "(3)", "(4)"
// in list order, the existing file untouched, and the undo takes all back.
TEST_F(PolicyRunTest, NumberingTakesTheFirstFreeNamesAndTheUndoFollowsThem) {
  settings.sameNameAction = 1;
  const std::wstring song = File(L"Song.mp3", "the song that was there");
  const std::wstring a = File(L"a.mp3", "A"), b = File(L"b.mp3", "B"), c = File(L"c.mp3", "C");
  // Another file holds "(3)" already: it is passed over too.
  const std::wstring three = File(L"Song (3).mp3", "three");
  for (const std::wstring& source : {a, b, c}) host.list->Append({source, song, L"", L""});
  std::wstring report = Run();
  const std::wstring n2 = dir / L"Song (2).mp3", n4 = dir / L"Song (4).mp3",
                     n5 = dir / L"Song (5).mp3";
  EXPECT_EQ(report, L"○ " + a + L"\r\n -> " + n2 + L"\r\n\r\n" + L"○ " + b + L"\r\n -> " + n4 +
                        L"\r\n\r\n" + L"○ " + c + L"\r\n -> " + n5 + L"\r\n\r\n" +
                        L"総ファイル数　：3\r\n成功ファイル数：3\r\n失敗ファイル数：0\r\n");
  EXPECT_EQ(host.list->Count(), 0);
  EXPECT_EQ(ReadBytes(song), "the song that was there");
  EXPECT_EQ(ReadBytes(three), "three");
  EXPECT_EQ(ReadBytes(n2), "A");
  EXPECT_EQ(ReadBytes(n4), "B");
  EXPECT_EQ(ReadBytes(n5), "C");
  EXPECT_EQ(Moves(ReadJournalFile(journalPath).entries),
            (std::vector<JournalEntry>{{a, n2}, {b, n4}, {c, n5}}));

  Undo();
  EXPECT_EQ(ReadBytes(a), "A");
  EXPECT_EQ(ReadBytes(b), "B");
  EXPECT_EQ(ReadBytes(c), "C");
  EXPECT_FALSE(Exists(n2) || Exists(n4) || Exists(n5));
  EXPECT_EQ(ReadBytes(song), "the song that was there");
  EXPECT_EQ(ReadBytes(three), "three");
}

// A free target is used as it is; the file's own name in another letter case
// is no other file's: under either choice the file gets the new case, not a
// number, and the undo gives it back its old one.
TEST_F(PolicyRunTest, ACaseOnlyChangeIsRenamedUnderEveryChoiceAndUndone) {
  for (int stored : {0, 1}) {
    settings.sameNameAction = stored;
    const std::wstring a = File(L"a.mp3", "A"), b = File(L"abc.mp3", "B");
    host.list->Append({a, dir / L"Free.mp3", L"", L""});
    host.list->Append({b, dir / L"ABC.mp3", L"", L""});
    std::wstring report = Run();
    EXPECT_EQ(report, L"○ " + a + L"\r\n -> " + dir / L"Free.mp3\r\n\r\n" + L"○ " + b +
                          L"\r\n -> " + dir / L"ABC.mp3\r\n\r\n" +
                          L"総ファイル数　：2\r\n成功ファイル数：2\r\n失敗ファイル数：0\r\n")
        << stored;
    EXPECT_EQ(engine_test::NameOnDisk(b), L"ABC.mp3");
    EXPECT_FALSE(Exists(dir / L"ABC (2).mp3"));
    Undo();
    EXPECT_EQ(engine_test::NameOnDisk(b), L"abc.mp3") << stored;
    EXPECT_EQ(ReadBytes(b), "B");
    EXPECT_EQ(ReadBytes(a), "A");
    DeleteFileW(a.c_str());
    DeleteFileW(b.c_str());
  }
}

// The first item, and a number no list has, skip a taken name as always.
TEST_F(PolicyRunTest, SkippingLeavesTakenNamesInTheList) {
  for (int stored : {0, 2, -1}) {
    settings.sameNameAction = stored;
    const std::wstring song = File(L"Song.mp3", "kept");
    const std::wstring a = File(L"a.mp3", "A");
    host.list->Append({a, song, L"", L""});
    std::wstring report = Run();
    EXPECT_EQ(report.substr(0, report.find(L"\r\n\r\n")),
              L"× " + a + L"\r\n -> ファイル名が重複しています。")
        << stored;
    EXPECT_EQ(host.list->Count(), 1);
    EXPECT_EQ(ReadBytes(song), "kept");
    EXPECT_FALSE(Exists(dir / L"Song (2).mp3"));
    host.list->Remove(1);
  }
}

// With "リネームしない", an entry whose target is its own path is reported and
// stays; nothing is renamed or journaled. Under the other items the same
// entry is renamed onto itself, as before.
TEST_F(PolicyRunTest, EntriesKeptForAnEmptyFieldStayInTheList) {
  const std::wstring a = File(L"a.mp3", "A"), b = File(L"b.mp3", "B");
  settings.emptyFieldAction = 2;
  host.list->Append({a, a, L"", L""});
  host.list->Append({b, dir / L"B2.mp3", L"", L""});
  std::wstring report = Run();
  EXPECT_EQ(report.substr(0, report.find(L"○")),
            L"× " + a + L"\r\n -> 未設定のフィールドがあるためリネームしません\r\n\r\n");
  ASSERT_EQ(host.list->Count(), 1);
  EXPECT_EQ(host.list->Get(1).source, a);
  EXPECT_EQ(ReadBytes(a), "A");
  EXPECT_EQ(Moves(ReadJournalFile(journalPath).entries),
            (std::vector<JournalEntry>{{b, dir / L"B2.mp3"}}));

  settings.emptyFieldAction = 0;
  report = Run();
  EXPECT_EQ(report.substr(0, report.find(L"\r\n\r\n")), L"○ " + a + L"\r\n -> " + a);
  EXPECT_EQ(host.list->Count(), 0);
  EXPECT_EQ(ReadBytes(a), "A");
}
