#include "engine/rename_run.h"

#include "engine/progress_window.h"
#include "engine/rename_entry.h"
#include "win/ui.h"

void RunRenameWith(HWND mainWindow, RenameList& list,
                   const std::function<RenameOutcome(const std::wstring&, const std::wstring&)>& rename,
                   const std::function<void(ProgressWindow&)>& wait) {
  RunRenameStoppable(
      mainWindow, list,
      [&rename](HWND, const std::wstring& source, const std::wstring& target, bool&) {
        return rename(source, target);
      },
      wait);
}

void RunRenameStoppable(HWND mainWindow, RenameList& list, const StoppingRename& rename,
                        const std::function<void(ProgressWindow&)>& wait) {
  if (list.Count() <= 0) return;
  ProgressWindow progress(mainWindow);
  const int32_t total = list.Count();
  progress.Start(total);

  bool stop = false;
  RunCallbacks callbacks;
  callbacks.rename = [&](const std::wstring& source, const std::wstring& target) {
    return rename(progress.Handle(), source, target, stop);
  };
  callbacks.progress = [&progress](const std::wstring& lines, int32_t position, int32_t count) {
    progress.AppendReport(lines);
    progress.ShowPosition(position, count);
  };
  callbacks.cancelRequested = [&progress, &stop] { return stop || progress.CancelRequested(); };
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
