// The rename run of the menu command リネーム開始: renames every listed file
// in list order with the progress window, removes the renamed entries, and
// waits until the user closes the report.
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

// A rename of one file that may end the run: it gets the progress window
// (the owner of any question it asks the user) and sets stop to make its
// entry the last one, as a cancel does.
using StoppingRename = std::function<RenameOutcome(HWND progress, const std::wstring& source,
                                                   const std::wstring& target, bool& stop)>;
void RunRenameStoppable(HWND mainWindow, RenameList& list, const StoppingRename& rename,
                        const std::function<void(ProgressWindow&)>& wait);
