// The window "実行中" that shows a rename run's progress and report, and
// afterwards waits, modal, until the user closes it. From Start on, its
// owner (the main window) is disabled, until the window closes.
#pragma once
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "win/modal_dialog.h"

class ProgressWindow : public win::ModalDialog {
 public:
  // Creates the window, hidden, owned by owner and centred over it.
  explicit ProgressWindow(HWND owner);

  // Shows the window with the run's counters at zero, the report empty and
  // the cancel flag cleared; the owner is disabled from here on.
  void Start(int32_t total);
  // Appends text to the report and keeps its end in view; shown with the
  // next position or by Finish.
  void AppendReport(const std::wstring& text);
  // "position/total" and the bar's value, with the report's new lines.
  void ShowPosition(int32_t position, int32_t total);
  // The controls are written at most ten times a second, at least four
  // times a second while entries are processed, and always by Finish: a
  // repaint per entry would cost more than the renames.
  bool CancelRequested() const { return cancel_; }

  // From the thread that runs the items while this window's thread keeps
  // it answering: an item's report lines and position, kept until the
  // window's thread takes them (TakeFromWorker, or TakeNow from the other
  // thread, which waits until they are shown).
  void PostFromWorker(const std::wstring& lines, int32_t position, int32_t total);
  void TakeFromWorker();
  void TakeNow();
  // Runs f on the window's thread and returns when it has run (a message
  // box the run asks must be that thread's).
  void RunOnWindowThread(const std::function<void()>& f);

  // Requests the run's end after the entry in progress.
  void RequestCancel();
  // The run is over: the button becomes "閉じる(&C)", enabled and default.
  void Finish();
  // Waits, modal over owner, until the user closes the window.
  void WaitModal();

  // For tests: the controls.
  HWND Bar() const { return bar_; }
  HWND Counter() const { return counter_; }
  HWND Report() const { return report_; }
  // "キャンセル(&C)" while the run goes on, "閉じる(&C)" once it is over.
  HWND CancelOrCloseButton() const { return button_; }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void CreateControls();
  // Widens the counter to the left, and shortens the bar, until widest fits.
  void FitCounter(const std::wstring& widest);
  void FlushWhenDue();
  void Flush();
  void OnButtonClick();
  void OnClose();

  HWND bar_ = nullptr;
  HWND counter_ = nullptr;
  HWND report_ = nullptr;
  HWND button_ = nullptr;
  std::mutex inboxMutex_;
  std::wstring inboxReport_;
  int32_t inboxPosition_ = -1;
  int32_t inboxTotal_ = 0;
  std::wstring pendingReport_;
  int32_t pendingPosition_ = -1;
  int32_t pendingTotal_ = 0;
  std::chrono::steady_clock::time_point lastFlush_{};
  std::chrono::steady_clock::duration flushInterval_{};
  std::atomic<bool> cancel_{false};
  bool finished_ = false;
  bool defaultButton_ = false;
};
