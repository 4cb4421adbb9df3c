#include "engine/rename_run.h"

#include "engine/progress_window.h"
#include "engine/rename_entry.h"
#include "win/ui.h"

namespace {

// Gives the main window back to the user however the run ends.
class MainWindowDisabled {
 public:
  explicit MainWindowDisabled(HWND window) : window_(window) {
    if (window_) EnableWindow(window_, FALSE);
  }
  ~MainWindowDisabled() {
    if (window_) EnableWindow(window_, TRUE);
  }
  MainWindowDisabled(const MainWindowDisabled&) = delete;
  MainWindowDisabled& operator=(const MainWindowDisabled&) = delete;

 private:
  HWND window_;
};

}  // namespace

void RunRenameWith(HWND mainWindow, RenameList& list,
                   const std::function<RenameOutcome(const std::wstring&, const std::wstring&)>& rename,
                   const std::function<void(ProgressWindow&)>& wait) {
  if (list.Count() <= 0) return;
  MainWindowDisabled disabled(mainWindow);
  ProgressWindow progress(mainWindow);
  const int32_t total = list.Count();
  progress.Start(total);

  RunCallbacks callbacks;
  callbacks.rename = rename;
  callbacks.progress = [&progress](const std::wstring& lines, int32_t position, int32_t count) {
    progress.AppendReport(lines);
    progress.ShowPosition(position, count);
  };
  callbacks.cancelRequested = [&progress] { return progress.CancelRequested(); };
  callbacks.letMessagesRun = [] { win::PumpMessages(); };
  RunTally tally = RenameEntries(list, callbacks);

  progress.AppendReport(ReportSummary(tally.total, tally.succeeded, tally.failed));
  list.RemovePositions(tally.renamedPositions);
  progress.Finish();
  wait(progress);
  list.ShowItemCount();
}

void RunRename(HWND mainWindow, RenameList& list) {
  RunRenameWith(mainWindow, list, TryRenameFile, [](ProgressWindow& window) { window.WaitModal(); });
}
