// The rename run of the menu command リネーム開始: renames every listed file
// in list order under the options dialog's choices, each rename recorded in
// the undo journal before it is made (so that the last run can be taken
// back, also after the program was closed or killed), with the progress
// window; removes the renamed entries and waits until the user closes the
// report.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "engine/policy_rename.h"
#include "engine/progress_run.h"
#include "engine/rename_list.h"
#include "engine/undo_journal.h"
#include "win/seam.h"

inline constexpr const wchar_t* kNoJournalStopText =
    L"取り消し用の記録ファイルを作成できないため、リネームを中止しました。";
inline constexpr const wchar_t* kJournalWriteStopText =
    L"取り消し用の記録ファイルに書き込めないため、リネームを中止しました：";

struct RenameRunHooks {
  // Where each rename is recorded before it is made; null keeps no journal.
  JournalSink* journal = nullptr;
  RunPolicies policies;
  // Creates the missing folders of a target just before renaming into
  // them, each recorded in the journal before it is created.
  bool makeFolders = false;
  // Asked once, before the first rename, when the journal cannot be
  // created: true renames without one, false renames nothing.
  std::function<bool(HWND owner, const std::wstring& path, DWORD error)> renameWithoutUndo;
  // With the line of the n-th rename (from 1) on the disk, the rename not
  // yet made.
  std::function<void(int renameNumber)> beforeRename;
  // Replaces the rename of one entry's file, for tests and benchmarks: the
  // policies, the folders and the journal are then left out.
  std::function<RenameOutcome(const std::wstring& source, const std::wstring& target)> renameFile;
  // Null: the modal wait for the user to close the report.
  ProgressWait wait;
};

// The run; an empty list opens no window.
void RunRename(HWND mainWindow, RenameList& list, const RenameRunHooks& hooks);

// The run as the menu starts it: "velnoir.jnl" in the program folder (the
// exe's folder when empty), the settings' choices, the question below.
void RunRenameCommand(HWND mainWindow, RenameList& list, const std::wstring& programFolder,
                      const Settings& settings);

// The Yes/No question (No the default) when the journal cannot be created.
bool AskRenameWithoutUndo(HWND owner, const std::wstring& path, DWORD error);

// What the menu's run does before each rename (numbered from 1), once its
// journal line is written; null: nothing. A test build of the program ends
// itself here, as a crash or a kill would end it.
using BeforeRenameFunction = void (*)(int renameNumber);
extern win::Seam<BeforeRenameFunction> g_beforeRename;
