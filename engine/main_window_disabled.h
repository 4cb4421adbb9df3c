// Keeps the main window disabled while a run with the progress window goes
// on, and gives it back to the user however the run ends.
#pragma once
#include <windows.h>

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
