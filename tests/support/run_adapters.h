// The rename run and the undo as tests and benchmarks call them: with the
// rename (or the undo) of one file and the wait for the report given, or
// with a journal as the menu's run has it.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "engine/progress_window.h"
#include "engine/rename_run.h"
#include "engine/undo_run.h"
#include "win/ui.h"

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

// The journaled run, returning its report as it stands once the run is over.
inline std::wstring RenameReport(HWND mainWindow, RenameList& list, JournalSink& journal,
                                 RenameRunHooks hooks = {}) {
  std::wstring report;
  hooks.wait = [&](ProgressWindow& w) { report = win::GetText(w.Report()); };
  RunJournaledRenameWith(mainWindow, list, journal, std::move(hooks));
  return report;
}

// The undo of the journal at journalPath, returning its report; look, when
// given, sees the window before it goes.
inline std::wstring UndoReport(HWND mainWindow, const std::wstring& journalPath,
                               const ProgressWait& look = nullptr) {
  std::wstring report;
  RunUndoWith(mainWindow, journalPath, UndoRename, [&](ProgressWindow& w) {
    report = win::GetText(w.Report());
    if (look) look(w);
  });
  return report;
}
