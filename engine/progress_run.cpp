#include "engine/progress_run.h"

#include <atomic>
#include <chrono>
#include <exception>
#include <thread>

#include "engine/progress_window.h"
#include "win/ui.h"

namespace {

// The items run on a worker thread while this thread keeps the windows
// answering: asking the system after every item whether a message waits
// costs a round trip that, on some platforms, is a tenth of a rename or
// more. A click is still taken as it always was: the cancel flag that a
// click sets while item k is handled ends the run after item k + 1.
int32_t RunOnWorker(ProgressWindow& progress, const std::function<int32_t()>& loop) {
  std::atomic<bool> done{false};
  int32_t handled = 0;
  std::exception_ptr failure;
  const HWND window = progress.Handle();
  std::thread worker([&] {
    try {
      handled = loop();
    } catch (...) {
      failure = std::current_exception();
    }
    done = true;
    PostMessageW(window, WM_NULL, 0, 0);  // wakes the wait below at once
  });
  while (!done) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    win::PumpMessages();
    progress.TakeFromWorker();
  }
  worker.join();
  progress.TakeFromWorker();
  if (failure) std::rethrow_exception(failure);
  return handled;
}

}  // namespace

void RunWithProgress(HWND owner, int32_t total,
                     const std::function<void(ProgressWindow&, const LoopHooks&)>& body,
                     const ProgressWait& wait) {
  ProgressWindow progress(owner);
  progress.Start(total);
  LoopHooks hooks;
  // Called on the worker. The window takes the lines at least every 50 ms
  // by itself; an item slower than a tenth of a second has its lines shown
  // before the next one starts.
  hooks.progress = [&progress, shown = std::chrono::steady_clock::now()](
                       const std::wstring& lines, int32_t position, int32_t count) mutable {
    progress.PostFromWorker(lines, position, count);
    const auto now = std::chrono::steady_clock::now();
    if (now - shown >= std::chrono::milliseconds(100)) {
      progress.TakeNow();
      shown = now;
    }
  };
  // A click handled while item k ran is what the pause after item k would
  // have seen: it ends the run after item k + 1.
  hooks.cancelRequested = [&progress, seen = false]() mutable {
    const bool requested = seen;
    seen = progress.CancelRequested();
    return requested;
  };
  hooks.runLoop = [&progress](const std::function<int32_t()>& loop) {
    return RunOnWorker(progress, loop);
  };
  body(progress, hooks);
  progress.Finish();
  if (wait) {
    wait(progress);
  } else {
    progress.WaitModal();
  }
}
