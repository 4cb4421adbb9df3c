// The undo journal and the undo on the real file system: runs with and
// without failures, a cancel, a crash between recording a rename and making
// it, files moved away or old names taken before the undo, and a journal
// that cannot be written. Afterwards every file holds its bytes and sits
// where it belongs; nothing is lost or overwritten.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <thread>

#include "app/list/rename_list_view.h"
#include "engine/progress_window.h"
#include "engine/rename_entry.h"
#include "engine/undo_journal.h"
#include "engine/undo_run.h"
#include "tests/engine/list_view_host.h"
#include "tests/engine/win_support.h"
#include "tests/support/ui_driver.h"
#include "win/ui.h"
#include "win/whole_file.h"
#include "tests/support/expected_report.h"
#include "tests/support/run_adapters.h"

using engine_test::Exists;
using engine_test::ListViewHost;
using engine_test::Moves;
using engine_test::ReadBytes;
using engine_test::ScratchFolder;
using engine_test::WriteBytes;

namespace {

// A journal whose writes fail from the n-th line on, as a full disk would.
class FailingJournal : public JournalSink {
 public:
  FailingJournal(JournalSink& real, int failFrom) : real_(real), failFrom_(failFrom) {}
  std::wstring Path() const override { return real_.Path(); }
  DWORD Create() override { return real_.Create(); }
  DWORD Append(const JournalEntry& entry) override {
    return ++lines_ >= failFrom_ ? ERROR_DISK_FULL : real_.Append(entry);
  }
  void Discard() override { real_.Discard(); }

 private:
  JournalSink& real_;
  int failFrom_;
  int lines_ = 0;
};

}  // namespace

class UndoTest : public testing::Test {
 protected:
  ListViewHost host;
  ScratchFolder dir{L"undo"};
  std::wstring journalPath = JournalPathIn(dir.Path());
  std::map<std::wstring, std::string> original;  // path -> bytes, before any run

  std::wstring File(const std::wstring& name) {
    std::string bytes = "bytes of " + std::to_string(original.size()) + " " +
                        std::string(original.size() * 7 + 1, 'x');
    WriteBytes(dir / name, bytes);
    original[dir / name] = bytes;
    return dir / name;
  }
  void Add(const std::wstring& source, const std::wstring& target) {
    host.list->Append({source, target, L"", L""});
  }
  // Runs the list with the journal; returns the report.
  std::wstring Run(JournalSink& journal, RenameRunHooks hooks = {}) {
    return RenameReport(host.window, *host.list, journal, std::move(hooks));
  }
  std::wstring Run() {
    JournalFile journal(journalPath);
    return Run(journal);
  }
  std::wstring Undo(const ProgressWait& look = nullptr) {
    return UndoReport(host.window, journalPath, look);
  }
  std::vector<JournalEntry> JournalLines() { return Moves(ReadJournalFile(journalPath).entries); }
  // Every file that was made is at its first path with its first bytes.
  void ExpectAllBack() {
    for (const auto& [path, bytes] : original) {
      EXPECT_TRUE(Exists(path)) << testing::PrintToString(path);
      EXPECT_EQ(ReadBytes(path), bytes);
    }
  }
};

TEST_F(UndoTest, ASuccessfulRunIsTakenBackCompletely) {
  CreateDirectoryW((dir / L"album").c_str(), nullptr);
  std::wstring a = File(L"a.mp3"), b = File(L"b.mp3"), c = File(L"c.mp3");
  // A name outside code page 932, a move into another folder, a Japanese name.
  std::wstring ta = dir / L"\uC74C\uC545 \u00E9 \U0001F3B5.mp3", tb = dir / L"album\\B.mp3",
               tc = dir / L"曲 C.mp3";
  Add(a, ta);
  Add(b, tb);
  Add(c, tc);
  Run();
  EXPECT_FALSE(Exists(a) || Exists(b) || Exists(c));
  ASSERT_TRUE(JournalExists(journalPath));
  Journal journal = ReadJournalFile(journalPath);
  EXPECT_EQ(journal.header.rfind(L"ぽめろ リネーム記録 開始 ", 0), 0u)
      << testing::PrintToString(journal.header);
  EXPECT_EQ(Moves(journal.entries), (std::vector<JournalEntry>{{a, ta}, {b, tb}, {c, tc}}));
  for (const JournalEntry& entry : journal.entries) EXPECT_TRUE(entry.identity.has_value());

  std::wstring report = Undo();
  EXPECT_EQ(report, L"○ " + tc + L"\r\n -> " + c + L"\r\n\r\n" + L"○ " + tb + L"\r\n -> " + b +
                        L"\r\n\r\n" + L"○ " + ta + L"\r\n -> " + a + L"\r\n\r\n" +
                        expected_report::Summary(3, 3, 0));
  ExpectAllBack();
  EXPECT_FALSE(Exists(ta) || Exists(tb) || Exists(tc));
  EXPECT_FALSE(Exists(journalPath));
  EXPECT_TRUE(IsWindowEnabled(host.window));
}

TEST_F(UndoTest, ARunWithFailuresRecordsOnlyTheRenamesItMade) {
  std::wstring a = File(L"a.mp3"), b = File(L"b.mp3"), c = File(L"c.mp3"), d = File(L"d.mp3"),
               taken = File(L"taken.mp3");
  Add(a, dir / L"A.new.mp3");
  Add(dir / L"missing.mp3", dir / L"x.mp3");
  Add(b, taken);
  Add(c, L"");
  Add(d, dir / L"D.new.mp3");
  std::wstring runReport = Run();
  // The report of the run itself is what it was without a journal.
  EXPECT_NE(runReport.find(L"× " + b + L"\r\n -> ファイル名が重複しています。\r\n"),
            std::wstring::npos);
  EXPECT_NE(runReport.find(expected_report::Summary(5, 2, 3)), std::wstring::npos);
  EXPECT_EQ(JournalLines(),
            (std::vector<JournalEntry>{{a, dir / L"A.new.mp3"}, {d, dir / L"D.new.mp3"}}));
  std::wstring report = Undo();
  EXPECT_NE(report.find(expected_report::Summary(2, 2, 0)), std::wstring::npos);
  ExpectAllBack();
  EXPECT_FALSE(Exists(journalPath));
}

TEST_F(UndoTest, ACancelledRunIsTakenBackAsFarAsItWent) {
  std::vector<std::wstring> sources;
  for (int i = 1; i <= 5; ++i) {
    sources.push_back(File(std::to_wstring(i) + L".mp3"));
    Add(sources.back(), dir / (L"r" + std::to_wstring(i) + L".mp3"));
  }
  JournalFile journal(journalPath);
  RenameRunHooks hooks;
  // Cancel clicked while the second file is renamed: the third is the last.
  hooks.beforeRename = [](int n) {
    if (n == 2) ui_driver::ClickProgressButton();
  };
  Run(journal, hooks);
  EXPECT_EQ(host.list->Count(), 2);
  EXPECT_EQ(JournalLines().size(), 3u);
  EXPECT_NE(Undo().find(expected_report::Summary(3, 3, 0)), std::wstring::npos);
  ExpectAllBack();
  EXPECT_FALSE(Exists(dir / L"r4.mp3"));
}

TEST_F(UndoTest, ChainedRenamesComeBackInReverseOrder) {
  // a -> b frees a; b -> c frees b: only the last first gives both back.
  std::wstring a = File(L"a.mp3"), b = File(L"b.mp3");
  Add(b, dir / L"c.mp3");
  Add(a, b);
  Run();
  EXPECT_EQ(ReadBytes(b), original[a]);
  EXPECT_NE(Undo().find(expected_report::Summary(2, 2, 0)), std::wstring::npos);
  ExpectAllBack();
  EXPECT_FALSE(Exists(dir / L"c.mp3"));
}

TEST_F(UndoTest, MovedAwayOrTakenNamesAreReportedKeptAndTriedAgainLater) {
  std::wstring a = File(L"a.mp3"), b = File(L"b.mp3"), c = File(L"c.mp3");
  Add(a, dir / L"new A.mp3");
  Add(b, dir / L"new B.mp3");
  Add(c, dir / L"new C.mp3");
  Run();
  CreateDirectoryW((dir / L"elsewhere").c_str(), nullptr);
  ASSERT_TRUE(MoveFileW((dir / L"new A.mp3").c_str(), (dir / L"elsewhere\\new A.mp3").c_str()));
  WriteBytes(b, "a new file under the old name");

  std::wstring report = Undo();
  EXPECT_EQ(
      report,
      L"○ " + dir / L"new C.mp3" + L"\r\n -> " + c + L"\r\n\r\n" + L"× " + dir / L"new B.mp3" +
          L"\r\n -> 元のファイル名は別のファイルが使っています。\r\n\r\n" + L"× " +
          dir / L"new A.mp3" +
          L"\r\n -> リネーム後のファイルが見つかりません（移動または削除されたようです）。\r\n\r\n" +
          expected_report::Summary(3, 1, 2));
  EXPECT_EQ(ReadBytes(b), "a new file under the old name");
  EXPECT_EQ(ReadBytes(dir / L"new B.mp3"), original[b]);
  EXPECT_EQ(JournalLines(),
            (std::vector<JournalEntry>{{a, dir / L"new A.mp3"}, {b, dir / L"new B.mp3"}}));
  EXPECT_EQ(ReadJournalFile(journalPath).header.rfind(L"ぽめろ リネーム記録 開始 ", 0), 0u);

  // Once the user has sorted it out, the same command finishes the job.
  ASSERT_TRUE(MoveFileW((dir / L"elsewhere\\new A.mp3").c_str(), (dir / L"new A.mp3").c_str()));
  ASSERT_TRUE(DeleteFileW(b.c_str()));
  EXPECT_NE(Undo().find(expected_report::Summary(2, 2, 0)), std::wstring::npos);
  ExpectAllBack();
  EXPECT_FALSE(Exists(journalPath));
}

TEST_F(UndoTest, AfterACrashOnlyTheRenamesMadeAreTakenBack) {
  // What a crash leaves: three lines on the disk, the third rename never
  // made, and the start of a fourth line whose write did not complete.
  std::wstring a = File(L"a.mp3"), b = File(L"b.mp3"), c = File(L"c.mp3");
  {
    JournalFile journal(journalPath);
    ASSERT_EQ(journal.Create(), 0u);
    for (const auto& [s, t] :
         {std::pair{a, dir / L"new A.mp3"}, {b, dir / L"new B.mp3"}, {c, dir / L"new C.mp3"}})
      ASSERT_EQ(journal.Append({s, t}), 0u);
  }
  ASSERT_EQ(MoveWithoutReplacing(a, dir / L"new A.mp3"), 0u);
  ASSERT_EQ(MoveWithoutReplacing(b, dir / L"new B.mp3"), 0u);
  std::string bytes = ReadBytes(journalPath);
  WriteBytes(journalPath, bytes + "C:\\torn\\li");

  std::wstring report = Undo();
  EXPECT_EQ(report.substr(0, report.find(L"\r\n\r\n") + 4),
            L"△ " + dir / L"new C.mp3" +
                L"\r\n -> リネームされていなかったため、元の名前のままです。\r\n\r\n");
  EXPECT_NE(report.find(expected_report::Summary(3, 3, 0)), std::wstring::npos);
  ExpectAllBack();
  EXPECT_FALSE(Exists(journalPath));
}

TEST_F(UndoTest, AJournalThatCannotBeCreatedAsksOnceAndNoRenamesNothing) {
  CreateDirectoryW(journalPath.c_str(), nullptr);  // the journal's name is taken by a folder
  std::wstring a = File(L"a.mp3"), b = File(L"b.mp3");
  Add(dir / L"missing.mp3", dir / L"m.mp3");
  Add(a, dir / L"new A.mp3");
  Add(b, dir / L"new B.mp3");
  int asked = 0;
  std::wstring askedPath;
  JournalFile journal(journalPath);
  RenameRunHooks hooks;
  hooks.renameWithoutUndo = [&](HWND owner, const std::wstring& path, DWORD) {
    ++asked;
    askedPath = path;
    EXPECT_EQ(owner, FindWindowW(L"VelnoirProgress", L"実行中"));
    return false;
  };
  std::wstring report = Run(journal, hooks);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(askedPath, journalPath);
  EXPECT_EQ(
      report,
      L"× " + dir / L"missing.mp3" + L"\r\n -> 入力ファイルが存在しません。\r\n\r\n" + L"× " + a +
          L"\r\n -> 取り消し用の記録ファイルを作成できないため、リネームを中止しました。\r\n\r\n" +
          expected_report::Summary(3, 0, 2));
  EXPECT_EQ(host.list->Count(), 3);
  ExpectAllBack();
  EXPECT_FALSE(JournalExists(journalPath));

  // Yes renames without a journal, asking once for the whole run.
  hooks.renameWithoutUndo = [&](HWND, const std::wstring&, DWORD) { return ++asked, true; };
  report = Run(journal, hooks);
  EXPECT_EQ(asked, 2);
  EXPECT_NE(report.find(expected_report::Summary(3, 2, 1)), std::wstring::npos);
  EXPECT_EQ(ReadBytes(dir / L"new B.mp3"), original[b]);
}

TEST_F(UndoTest, AFailedJournalWriteStopsTheRunBeforeThatRename) {
  std::wstring a = File(L"a.mp3"), b = File(L"b.mp3"), c = File(L"c.mp3");
  Add(a, dir / L"new A.mp3");
  Add(b, dir / L"new B.mp3");
  Add(c, dir / L"new C.mp3");
  JournalFile file(journalPath);
  FailingJournal journal(file, 2);
  std::wstring report = Run(journal);
  EXPECT_NE(
      report.find(L"× " + b +
                  L"\r\n -> 取り消し用の記録ファイルに書き込めないため、リネームを中止しました：" +
                  win::SystemErrorText(ERROR_DISK_FULL) + L"\r\n\r\n" +
                  expected_report::Summary(3, 1, 1)),
      std::wstring::npos)
      << testing::PrintToString(report);
  EXPECT_TRUE(Exists(b));
  EXPECT_TRUE(Exists(c));
  EXPECT_EQ(host.list->Count(), 2);
  Undo();
  ExpectAllBack();
}

// A journal another program holds cannot be read: the undo ends with a
// Japanese message naming the file, and every file stays where the run put it.
TEST_F(UndoTest, AnUnreadableJournalIsNamedAndNothingMoves) {
  std::wstring a = File(L"a.mp3");
  Add(a, dir / L"A2.mp3");
  Run();
  HANDLE lock =
      CreateFileW(journalPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  try {
    Undo();
    ADD_FAILURE() << "a journal another program holds was read";
  } catch (const AppError& error) {
    EXPECT_EQ(error.Description(), L"取り消し用の記録ファイルを読み込めません。\r\n" + journalPath +
                                       L"\r\n" + win::SystemErrorText(ERROR_SHARING_VIOLATION));
  }
  CloseHandle(lock);
  EXPECT_TRUE(Exists(dir / L"A2.mp3"));
  EXPECT_FALSE(Exists(a));
}

TEST_F(UndoTest, ARunThatRenamesNothingLeavesTheLastJournal) {
  std::wstring a = File(L"a.mp3");
  Add(a, dir / L"new A.mp3");
  Run();
  Add(dir / L"missing.mp3", dir / L"x.mp3");
  Run();
  EXPECT_EQ(JournalLines(), (std::vector<JournalEntry>{{a, dir / L"new A.mp3"}}));
  // The next run that renames replaces it.
  std::wstring b = File(L"b.mp3");
  host.list->Remove(1);
  Add(b, dir / L"new B.mp3");
  Run();
  EXPECT_EQ(JournalLines(), (std::vector<JournalEntry>{{b, dir / L"new B.mp3"}}));
}

TEST_F(UndoTest, UndoRunsInTheProgressWindowAndEmptyJournalsOpenNone) {
  std::wstring a = File(L"a.mp3");
  Add(a, dir / L"new A.mp3");
  Run();
  std::wstring caption, button;
  bool mainEnabled = true;
  Undo([&](ProgressWindow& w) {
    caption = win::GetText(w.Handle());
    button = win::GetText(w.CancelOrCloseButton());
    mainEnabled = IsWindowEnabled(host.window);
  });
  EXPECT_EQ(caption, L"実行中");
  EXPECT_EQ(button, L"閉じる(&C)");
  EXPECT_FALSE(mainEnabled);
  // No journal: nothing. A journal with no line (a run that ended while
  // starting it): removed, no window.
  bool opened = false;
  RunUndoWith(host.window, journalPath, UndoRename, [&](ProgressWindow&) { opened = true; });
  WriteBytes(journalPath, FormatJournalHeader({2025, 1, 1, 0, 0, 0}));
  RunUndoWith(host.window, journalPath, UndoRename, [&](ProgressWindow&) { opened = true; });
  EXPECT_FALSE(opened);
  EXPECT_FALSE(Exists(journalPath));
}

TEST_F(UndoTest, TheQuestionNamesTheFileAndDefaultsToNo) {
  std::wstring text;
  bool noIsDefault = false, yesIsDefault = true;
  std::thread answer([&] {
    HWND box = nullptr;
    for (int i = 0; i < 200 && !box; ++i, Sleep(50)) box = FindWindowW(L"#32770", L"ぽめろ");
    if (!box) return;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      std::wstring t = win::GetText(child);
      if (t.find(L"velnoir.jnl") != std::wstring::npos) text = t;
    }
    auto isDefault = [box](int id) {
      return (GetWindowLongW(GetDlgItem(box, id), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
    };
    noIsDefault = isDefault(IDNO);
    yesIsDefault = isDefault(IDYES);
    PostMessageW(box, WM_COMMAND, IDNO, 0);
  });
  bool yes = AskRenameWithoutUndo(host.window, journalPath, ERROR_ACCESS_DENIED);
  answer.join();
  EXPECT_FALSE(yes);
  EXPECT_TRUE(noIsDefault);
  EXPECT_FALSE(yesIsDefault);
  EXPECT_NE(text.find(journalPath), std::wstring::npos) << testing::PrintToString(text);
  EXPECT_NE(text.find(L"元に戻せないままリネームしますか？"), std::wstring::npos);
}
