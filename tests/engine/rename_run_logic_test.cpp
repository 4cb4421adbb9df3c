#include "engine/rename_run_logic.h"

#include <gtest/gtest.h>

#include <set>

#include "tests/support/memory_rename_list.h"

namespace {

MemoryRenameList ListOf(int n) {
  MemoryRenameList list;
  for (int i = 1; i <= n; ++i) {
    std::wstring s = L"C:\\m\\" + std::to_wstring(i) + L".mp3";
    std::wstring t = L"C:\\m\\t" + std::to_wstring(i) + L".mp3";
    list.Append({s, t, L"", L""});
  }
  return list;
}

// Renames the entries whose position (taken from the source name) is in `ok`.
struct Renamer {
  explicit Renamer(std::set<int> renamed) : ok(std::move(renamed)) {}
  std::set<int> ok;
  std::vector<std::wstring> seen;
  RenameOutcome operator()(const std::wstring& source, const std::wstring& target) {
    seen.push_back(source);
    int position = std::stoi(source.substr(5));
    if (ok.count(position)) return {true, target};
    return {false, L"ファイル名が重複しています。"};
  }
};

}  // namespace

TEST(ReportText, LinesAndSummaryByteForByte) {
  EXPECT_EQ(ReportLines(true, L"D:\\My Music\\track01.mp3", L"D:\\My Music\\ACDC - Back.mp3"),
            L"\u25CB D:\\My Music\\track01.mp3\r\n -> D:\\My Music\\ACDC - Back.mp3\r\n\r\n");
  EXPECT_EQ(ReportLines(false, L"D:\\My Music\\track02.mp3", L"ファイル名が重複しています。"),
            L"\u00D7 D:\\My Music\\track02.mp3\r\n -> ファイル名が重複しています。\r\n\r\n");
  EXPECT_EQ(ReportSummary(2, 1, 1),
            L"総ファイル数\u3000：2\r\n成功ファイル数：1\r\n失敗ファイル数：1\r\n");
  EXPECT_EQ(ReportSummary(40000, 39999, 1),
            L"総ファイル数\u3000：40000\r\n成功ファイル数：39999\r\n失敗ファイル数：1\r\n");
}

TEST(RenameEntries, ProcessesInOrderAndRecordsRenamedPositions) {
  MemoryRenameList list = ListOf(5);
  Renamer renamer{{2, 4}};
  std::wstring report;
  std::vector<std::pair<int32_t, int32_t>> positions;
  int pumps = 0;
  RunCallbacks callbacks;
  callbacks.rename = std::ref(renamer);
  callbacks.progress = [&](const std::wstring& lines, int32_t p, int32_t t) {
    report += lines;
    positions.push_back({p, t});
  };
  callbacks.cancelRequested = [] { return false; };
  callbacks.letMessagesRun = [&] { ++pumps; };
  RunTally tally = RenameEntries(list, callbacks);

  EXPECT_EQ(tally.total, 5);
  EXPECT_EQ(tally.processed, 5);
  EXPECT_EQ(tally.succeeded, 2);
  EXPECT_EQ(tally.failed, 3);
  EXPECT_EQ(tally.renamedPositions, (std::vector<int>{2, 4}));
  EXPECT_EQ(pumps, 5);
  ASSERT_EQ(positions.size(), 5u);
  EXPECT_EQ(positions[2], (std::pair<int32_t, int32_t>{3, 5}));
  EXPECT_EQ(renamer.seen.front(), L"C:\\m\\1.mp3");
  EXPECT_EQ(renamer.seen.back(), L"C:\\m\\5.mp3");
  const std::wstring firstTwo =
      L"\u00D7 C:\\m\\1.mp3\r\n -> ファイル名が重複しています。\r\n\r\n"
      L"\u25CB C:\\m\\2.mp3\r\n -> C:\\m\\t2.mp3\r\n\r\n";
  EXPECT_EQ(report.substr(0, firstTwo.size()), firstTwo);
  // The list is not touched by the run itself; removal leaves 1, 3, 5 in order.
  EXPECT_EQ(list.Count(), 5);
  list.RemovePositions(tally.renamedPositions);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Get(1).source, L"C:\\m\\1.mp3");
  EXPECT_EQ(list.Get(2).source, L"C:\\m\\3.mp3");
  EXPECT_EQ(list.Get(3).source, L"C:\\m\\5.mp3");
}

TEST(RenameEntries, CancelAfterEntryKStillProcessesEntryKPlus1) {
  for (int k : {1, 3, 6}) {
    MemoryRenameList list = ListOf(8);
    Renamer renamer{{1, 2, 3, 4, 5, 6, 7, 8}};
    bool cancel = false;
    int32_t lastPosition = 0;
    RunCallbacks callbacks;
    callbacks.rename = std::ref(renamer);
    callbacks.progress = [&](const std::wstring&, int32_t p, int32_t) { lastPosition = p; };
    callbacks.cancelRequested = [&] { return cancel; };
    // The click is handled while messages run after entry k.
    callbacks.letMessagesRun = [&] {
      if (lastPosition == k) cancel = true;
    };
    RunTally tally = RenameEntries(list, callbacks);
    EXPECT_EQ(tally.processed, k + 1) << k;
    EXPECT_EQ(tally.total, 8) << k;
    EXPECT_EQ(tally.succeeded, k + 1) << k;
    EXPECT_EQ(renamer.seen.size(), static_cast<size_t>(k + 1)) << k;
  }
}

TEST(RenameEntries, CancelDuringTheLastEntryChangesNothing) {
  MemoryRenameList list = ListOf(3);
  Renamer renamer{{1, 3}};
  bool cancel = false;
  RunCallbacks callbacks;
  callbacks.rename = [&](const std::wstring& s, const std::wstring& t) {
    if (s == L"C:\\m\\3.mp3") cancel = true;
    return renamer(s, t);
  };
  callbacks.cancelRequested = [&] { return cancel; };
  RunTally tally = RenameEntries(list, callbacks);
  EXPECT_EQ(tally.processed, 3);
  EXPECT_EQ(tally.succeeded, 2);
  EXPECT_EQ(tally.failed, 1);
}

TEST(RenameEntries, SuccessComesFromTheOutcomeNotFromTextEquality) {
  // A target whose text reads like a message must not make a failure a success.
  MemoryRenameList list;
  list.Append({L"a.mp3", L"ファイル名が重複しています。", L"", L""});
  RunCallbacks callbacks;
  callbacks.rename = [](const std::wstring&, const std::wstring&) {
    return RenameOutcome{false, L"ファイル名が重複しています。"};
  };
  RunTally tally = RenameEntries(list, callbacks);
  EXPECT_EQ(tally.failed, 1);
  EXPECT_TRUE(tally.renamedPositions.empty());
}

TEST(RenameEntries, EmptyListDoesNothing) {
  MemoryRenameList list;
  RunCallbacks callbacks;
  callbacks.rename = [](const std::wstring&, const std::wstring&) -> RenameOutcome {
    ADD_FAILURE() << "nothing to rename";
    return {};
  };
  RunTally tally = RenameEntries(list, callbacks);
  EXPECT_EQ(tally.total, 0);
  EXPECT_EQ(tally.processed, 0);
}

TEST(RenameEntries, CountsBeyondSixteenBits) {
  MemoryRenameList list = ListOf(40000);
  std::set<int> ok;
  for (int i = 2; i <= 40000; i += 2) ok.insert(i);
  Renamer renamer{ok};
  RunCallbacks callbacks;
  callbacks.rename = std::ref(renamer);
  RunTally tally = RenameEntries(list, callbacks);
  EXPECT_EQ(tally.total, 40000);
  EXPECT_EQ(tally.processed, 40000);
  EXPECT_EQ(tally.succeeded, 20000);
  EXPECT_EQ(tally.failed, 20000);
  ASSERT_EQ(tally.renamedPositions.size(), 20000u);
  EXPECT_EQ(tally.renamedPositions.back(), 40000);
  list.RemovePositions(tally.renamedPositions);
  ASSERT_EQ(list.Count(), 20000);
  EXPECT_EQ(list.Get(20000).source, L"C:\\m\\39999.mp3");
}
