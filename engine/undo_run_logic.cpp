#include "engine/undo_run_logic.h"

#include "engine/rename_run_logic.h"

std::wstring UndoReportLines(const JournalEntry& entry, const UndoOutcome& outcome) {
  if (outcome.result == UndoResult::NotRenamed)
    return L"\u25B3 " + entry.target + L"\r\n -> " + outcome.text + L"\r\n\r\n";
  return ReportLines(outcome.result == UndoResult::Restored, entry.target, outcome.text);
}

UndoTally UndoEntries(const std::vector<JournalEntry>& entries, const UndoCallbacks& callbacks) {
  UndoTally tally;
  tally.total = static_cast<int32_t>(entries.size());
  // Later renames may have taken names that earlier ones free again (a -> b,
  // then b -> c): only the reverse order gives every file its name back.
  std::vector<bool> keep(entries.size(), true);
  auto undoOne = [&](int32_t step) {
    const size_t index = entries.size() - static_cast<size_t>(step);
    const JournalEntry& entry = entries[index];
    UndoOutcome outcome = callbacks.undo(entry);
    if (outcome.result == UndoResult::Failed) {
      ++tally.failed;
    } else {
      ++tally.succeeded;
      keep[index] = false;
    }
    return UndoReportLines(entry, outcome);
  };
  tally.processed = RunSteps(tally.total, undoOne, callbacks);
  for (size_t i = 0; i < entries.size(); ++i)
    if (keep[i]) tally.remaining.push_back(entries[i]);
  return tally;
}
