// Undoing the last rename run without its window: the journal's renames
// are taken back from the last to the first, each reported like an entry of
// the run, and the lines that could not be taken back are kept.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/rename_run_logic.h"
#include "engine/undo_journal_format.h"

inline constexpr const wchar_t* kUndoTargetMissingText =
    L"リネーム後のファイルが見つかりません（移動または削除されたようです）。";
inline constexpr const wchar_t* kUndoSourceTakenText =
    L"元のファイル名は別のファイルが使っています。";
inline constexpr const wchar_t* kUndoReplacedText =
    L"リネーム後のファイルが別のファイルに置き換わっています。";
inline constexpr const wchar_t* kUndoNotRenamedText =
    L"リネームされていなかったため、元の名前のままです。";

enum class UndoResult {
  Restored,    // renamed back to its old path
  NotRenamed,  // the run never made this rename (it ended first): nothing to do
  Failed,      // left as it is; the line stays in the journal
};

struct UndoOutcome {
  UndoResult result = UndoResult::Failed;
  std::wstring text;  // the old path when restored, otherwise why not
};

// "○ target -> source" when restored, "× target -> why" when it failed, and
// "△ target -> why" for a rename that never happened. Same layout as the
// run's report lines.
std::wstring UndoReportLines(const JournalEntry& entry, const UndoOutcome& outcome);

struct UndoCallbacks : LoopHooks {
  std::function<UndoOutcome(const JournalEntry&)> undo;
};

struct UndoTally {
  int32_t total = 0;
  int32_t processed = 0;
  int32_t succeeded = 0;  // restored, or found never renamed
  int32_t failed = 0;
  // The lines still to be undone, in journal order: the failed ones and,
  // after a cancel, the earlier ones not reached.
  std::vector<JournalEntry> remaining;
};

// Works through the entries from the last to the first until the first one
// or a cancel request.
UndoTally UndoEntries(const std::vector<JournalEntry>& entries, const UndoCallbacks& callbacks);
