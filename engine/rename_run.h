// The rename run of mnuExecRename: renames every listed file in list order
// with the progress window, removes the renamed entries, and waits until the
// user closes the report.
#pragma once
#include <windows.h>

#include <functional>

#include "engine/rename_list.h"
#include "engine/rename_run_logic.h"

class ProgressWindow;

void RunRename(HWND mainWindow, RenameList& list);

// The same with the rename of one file and the modal wait given by the
// caller (tests replace the wait to read or close the window).
void RunRenameWith(HWND mainWindow, RenameList& list,
                   const std::function<RenameOutcome(const std::wstring&, const std::wstring&)>& rename,
                   const std::function<void(ProgressWindow&)>& wait);
