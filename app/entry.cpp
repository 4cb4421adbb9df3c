// The entry procedure: load the main window, add the files named on the
// command line, refresh the update-monitor registration, show the window.
#include <windows.h>
#include <ole2.h>

#include "app/core/command_line.h"
#include "app/main_window.h"
#include "options/registration/registration.h"
#include "win/command_boundary.h"
#include "win/ui.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  MainWindow::PrepareThread();
  MainWindow window;
  if (!window.Create()) {
    OleUninitialize();
    return 1;
  }

  // Names that are no existing file are left out without a word; a folder
  // brings in the audio files beneath it.
  std::wstring arguments = ArgumentsOf(GetCommandLineW());
  if (!arguments.empty())
    window.AddCommandLineFiles(SplitCommandLine(arguments, win::PumpMessages));

  win::RunCommand(window.Handle(), [&] { RefreshRegistrationAtStart(window.Handle()); });

  window.Show();

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (TranslateAcceleratorW(window.Handle(), window.Accelerators(), &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  OleUninitialize();
  return 0;
}
