// The command "直前のリネームを元に戻す(&U)": takes the renames of the last
// run back from its journal, in the rename run's progress window, and
// leaves in the journal only the lines it could not take back.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "engine/file_identity_win.h"
#include "engine/progress_run.h"
#include "engine/undo_run_logic.h"

inline constexpr const wchar_t* kJournalRewriteFailedText =
    L"取り消し用の記録ファイルを書き換えられませんでした：";

// Puts one file back: renames the journal line's target to its source when
// the target is there, is the file the run renamed (when the line names
// its identity) and the source is free. Never replaces a file.
UndoOutcome UndoRename(const JournalEntry& entry);
// The same, with the identities read through one reader for the whole undo.
UndoOutcome UndoRenameWith(const JournalEntry& entry, FileIdentityReader& identities);

struct UndoRunHooks {
  // Replaces putting one file back, for tests and benchmarks.
  std::function<UndoOutcome(const JournalEntry&)> undoFile;
  // Null: the modal wait for the user to close the report.
  ProgressWait wait;
};

// Nothing happens when there is no journal at the path. A journal that
// cannot be read throws an AppError naming the file.
void RunUndo(HWND mainWindow, const std::wstring& journalPath, const UndoRunHooks& hooks = {});
