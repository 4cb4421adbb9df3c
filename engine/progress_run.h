// The frame of every run over the list that the user watches: the rename
// run and its undo. The progress window opens over the main window (which
// it disables), each item's report lines and position show in it, its
// cancel button and close box are taken after each item, and once the run
// is over the user reads the report until closing it.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>

#include "engine/rename_run_logic.h"

class ProgressWindow;

// What the run does once its items are done, before the user reads the
// report: null is the modal wait for the user to close it.
using ProgressWait = std::function<void(ProgressWindow&)>;

// Opens the window for total items and runs body with hooks wired to it;
// body appends its summary. Then the run is finished and wait runs.
void RunWithProgress(HWND owner, int32_t total,
                     const std::function<void(ProgressWindow&, const LoopHooks&)>& body,
                     const ProgressWait& wait);
