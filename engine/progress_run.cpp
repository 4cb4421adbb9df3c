#include "engine/progress_run.h"

#include "engine/progress_window.h"
#include "win/ui.h"

void RunWithProgress(HWND owner, int32_t total,
                     const std::function<void(ProgressWindow&, const LoopHooks&)>& body,
                     const ProgressWait& wait) {
  ProgressWindow progress(owner);
  progress.Start(total);
  LoopHooks hooks;
  hooks.progress = [&progress](const std::wstring& lines, int32_t position, int32_t count) {
    progress.AppendReport(lines);
    progress.ShowPosition(position, count);
  };
  hooks.cancelRequested = [&progress] { return progress.CancelRequested(); };
  hooks.letMessagesRun = [] { win::PumpMessages(); };
  body(progress, hooks);
  progress.Finish();
  if (wait) {
    wait(progress);
  } else {
    progress.WaitModal();
  }
}
