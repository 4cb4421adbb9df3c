// Holds the display's desktop for a whole test session.
//
// Wine closes a desktop a second after the last program on it ends, and the
// next program that opens a window starts a new desktop process. That process
// inherits the starting program's output, so the test runner waits for the
// desktop to close again before it sees a test end: one to twenty seconds per
// window test. One program that never ends keeps one desktop open throughout.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  GetDesktopWindow();
  // A window that is never shown makes this thread one of the desktop's users
  // without putting anything on the screen or taking the focus.
  CreateWindowExW(0, L"STATIC", L"velnoir desktop keeper", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                  instance, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}
