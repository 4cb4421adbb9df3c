// The rename run of the menu command リネーム開始 with its undo journal:
// every rename is recorded in the journal before it is made, so that the
// last run can be taken back, also after the program was closed or killed.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "engine/rename_list.h"
#include "engine/undo_journal.h"

class ProgressWindow;

inline constexpr const wchar_t* kNoJournalStopText =
    L"取り消し用の記録ファイルを作成できないため、リネームを中止しました。";
inline constexpr const wchar_t* kJournalWriteStopText =
    L"取り消し用の記録ファイルに書き込めないため、リネームを中止しました：";

struct JournaledRunHooks {
  // Asked once, before the first rename, when the journal cannot be
  // created: true renames without one, false renames nothing.
  std::function<bool(HWND owner, const std::wstring& path, DWORD error)> renameWithoutUndo;
  // With the line of the n-th rename (from 1) on the disk, the rename not
  // yet made.
  std::function<void(int renameNumber)> beforeRename;
  // The modal wait for the report, as in RunRenameWith.
  std::function<void(ProgressWindow&)> wait;
  // Creates the missing folders of a target just before renaming into
  // them, each recorded in the journal before it is created.
  bool makeFolders = false;
};

void RunJournaledRenameWith(HWND mainWindow, RenameList& list, JournalSink& journal,
                            const JournaledRunHooks& hooks);

// The run as the menu starts it, with "velnoir.jnl" in the program folder
// (the exe's folder when empty).
void RunJournaledRename(HWND mainWindow, RenameList& list, const std::wstring& programFolder);

// The Yes/No question (No the default) when the journal cannot be created.
bool AskRenameWithoutUndo(HWND owner, const std::wstring& path, DWORD error);

// Test hook of the real program: when the environment names a number N
// here, the process ends abruptly with the journal line of its N-th rename
// written and that rename not made, as a crash or a kill would end it.
inline constexpr const wchar_t* kKillAtRenameVariable = L"VELNOIR_TEST_KILL_AT_RENAME";
