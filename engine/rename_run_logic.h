// The rename run without its window: which entries are processed, what the
// report says about each, the counts and which entries leave the list.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/rename_list.h"

// What renaming one entry gave: whether the file was renamed, and the text
// for the report (the target path, or the message why not).
struct RenameOutcome {
  bool renamed = false;
  std::wstring text;
};

// "○ "/"× ", the source, CR LF, " -> ", the outcome's text, CR LF, CR LF.
std::wstring ReportLines(bool renamed, const std::wstring& source, const std::wstring& text);

// The three summary lines, each ending with CR LF.
std::wstring ReportSummary(int32_t total, int32_t succeeded, int32_t failed);

// What a run over items does between two of them; the rename run and the
// undo both go through RunSteps with these.
struct LoopHooks {
  // After each item: its report lines, its position and the total.
  std::function<void(const std::wstring& lines, int32_t position, int32_t total)> progress;
  // Asked after each item: true ends the run there.
  std::function<bool()> cancelRequested;
  // Lets pending window messages run once per item.
  std::function<void()> letMessagesRun;
  // When set, the loop over the items runs inside it: it calls loop, which
  // handles every item and returns how many, on a thread it chooses, and
  // returns what loop returned. The hooks above are then called on that
  // thread.
  std::function<int32_t(const std::function<int32_t()>& loop)> runLoop;
};

// Handles steps 1..total in order; handle gives each step's report lines.
// After each step its lines are reported, a cancel request ends the run,
// and messages run. Returns how many steps were handled.
int32_t RunSteps(int32_t total, const std::function<std::wstring(int32_t step)>& handle,
                 const LoopHooks& hooks);

struct RunCallbacks : LoopHooks {
  // Renames one file (source, target).
  std::function<RenameOutcome(const std::wstring&, const std::wstring&)> rename;
};

struct RunTally {
  int32_t total = 0;      // entries when the run started
  int32_t processed = 0;  // entries handled before the run ended
  int32_t succeeded = 0;
  int32_t failed = 0;
  std::vector<int> renamedPositions;  // ascending, 1-based
};

// Renames the list's entries in order until the end or a cancel request.
// The list itself is left unchanged.
RunTally RenameEntries(const RenameList& list, const RunCallbacks& callbacks);
