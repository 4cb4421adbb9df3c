#include "engine/undo_run_logic.h"

#include <gtest/gtest.h>

#include <map>

using Entries = std::vector<JournalEntry>;

namespace {

Entries Numbered(int n) {
  Entries entries;
  for (int i = 1; i <= n; ++i)
    entries.push_back({L"s" + std::to_wstring(i), L"t" + std::to_wstring(i)});
  return entries;
}

struct Recorder {
  std::vector<std::wstring> order;  // targets in the order they were undone
  std::wstring report;
  std::vector<int32_t> positions;
  std::map<std::wstring, UndoOutcome> outcomes;  // by target; default restored

  UndoCallbacks Callbacks() {
    UndoCallbacks c;
    c.undo = [this](const JournalEntry& e) {
      order.push_back(e.target);
      auto found = outcomes.find(e.target);
      return found != outcomes.end() ? found->second : UndoOutcome{UndoResult::Restored, e.source};
    };
    c.progress = [this](const std::wstring& lines, int32_t position, int32_t total) {
      report += lines;
      positions.push_back(position);
      EXPECT_GT(total, 0);
    };
    return c;
  }
};

}  // namespace

TEST(UndoReportLines, SameLayoutAsTheRunsReport) {
  JournalEntry e{L"C:\\old.mp3", L"C:\\new.mp3"};
  EXPECT_EQ(UndoReportLines(e, {UndoResult::Restored, e.source}),
            L"○ C:\\new.mp3\r\n -> C:\\old.mp3\r\n\r\n");
  EXPECT_EQ(UndoReportLines(e, {UndoResult::Failed, kUndoSourceTakenText}),
            L"× C:\\new.mp3\r\n -> 元のファイル名は別のファイルが使っています。\r\n\r\n");
  EXPECT_EQ(UndoReportLines(e, {UndoResult::NotRenamed, kUndoNotRenamedText}),
            L"△ C:\\new.mp3\r\n -> リネームされていなかったため、元の名前のままです。\r\n\r\n");
}

TEST(UndoEntries, GoesFromTheLastRenameToTheFirst) {
  Recorder r;
  UndoTally t = UndoEntries(Numbered(3), r.Callbacks());
  EXPECT_EQ(r.order, (std::vector<std::wstring>{L"t3", L"t2", L"t1"}));
  EXPECT_EQ(r.positions, (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(r.report, L"○ t3\r\n -> s3\r\n\r\n○ t2\r\n -> s2\r\n\r\n○ t1\r\n -> s1\r\n\r\n");
  EXPECT_EQ(t.total, 3);
  EXPECT_EQ(t.processed, 3);
  EXPECT_EQ(t.succeeded, 3);
  EXPECT_EQ(t.failed, 0);
  EXPECT_TRUE(t.remaining.empty());
}

TEST(UndoEntries, KeepsTheFailedLinesInJournalOrderAndDropsThoseNeverRenamed) {
  Recorder r;
  r.outcomes[L"t2"] = {UndoResult::Failed, kUndoTargetMissingText};
  r.outcomes[L"t4"] = {UndoResult::Failed, kUndoSourceTakenText};
  r.outcomes[L"t5"] = {UndoResult::NotRenamed, kUndoNotRenamedText};
  UndoTally t = UndoEntries(Numbered(5), r.Callbacks());
  EXPECT_EQ(t.succeeded, 3);
  EXPECT_EQ(t.failed, 2);
  EXPECT_EQ(t.remaining, (Entries{{L"s2", L"t2"}, {L"s4", L"t4"}}));
  EXPECT_EQ(r.report.find(L"△ t5"), 0u);
}

TEST(UndoEntries, ACancelKeepsTheLinesNotReached) {
  Recorder r;
  r.outcomes[L"t5"] = {UndoResult::Failed, kUndoTargetMissingText};
  UndoCallbacks c = r.Callbacks();
  int asked = 0;
  c.cancelRequested = [&] { return ++asked == 2; };
  int pauses = 0;
  c.letMessagesRun = [&] { ++pauses; };
  UndoTally t = UndoEntries(Numbered(6), c);
  EXPECT_EQ(r.order, (std::vector<std::wstring>{L"t6", L"t5"}));
  EXPECT_EQ(pauses, 1);
  EXPECT_EQ(t.processed, 2);
  EXPECT_EQ(t.succeeded, 1);
  EXPECT_EQ(t.failed, 1);
  EXPECT_EQ(
      t.remaining,
      (Entries{{L"s1", L"t1"}, {L"s2", L"t2"}, {L"s3", L"t3"}, {L"s4", L"t4"}, {L"s5", L"t5"}}));
}

TEST(UndoEntries, AnEmptyJournalDoesNothing) {
  Recorder r;
  UndoTally t = UndoEntries({}, r.Callbacks());
  EXPECT_TRUE(r.order.empty());
  EXPECT_EQ(t.total, 0);
  EXPECT_TRUE(t.remaining.empty());
}
