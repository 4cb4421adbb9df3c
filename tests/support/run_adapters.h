// The rename run and the undo as tests and benchmarks call them: with the
// rename (or the undo) of one file and the wait for the report given, or
// with a journal as the menu's run has it.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "engine/rename_run.h"
#include "engine/undo_run.h"

inline void RunRenameWith(
    HWND mainWindow, RenameList& list,
    std::function<RenameOutcome(const std::wstring&, const std::wstring&)> renameFile,
    ProgressWait wait) {
  RenameRunHooks hooks;
  hooks.renameFile = std::move(renameFile);
  hooks.wait = std::move(wait);
  RunRename(mainWindow, list, hooks);
}

inline void RunJournaledRenameWith(HWND mainWindow, RenameList& list, JournalSink& journal,
                                   RenameRunHooks hooks) {
  hooks.journal = &journal;
  RunRename(mainWindow, list, hooks);
}

inline void RunUndoWith(HWND mainWindow, const std::wstring& journalPath,
                        std::function<UndoOutcome(const JournalEntry&)> undoFile,
                        ProgressWait wait) {
  UndoRunHooks hooks;
  hooks.undoFile = std::move(undoFile);
  hooks.wait = std::move(wait);
  RunUndo(mainWindow, journalPath, hooks);
}
