#include "tests/engine/list_view_host.h"

#include <commctrl.h>

namespace engine_test {
namespace {

constexpr const wchar_t* kClassName = L"EngineTestHost";

// The list whose rows the list view asks for; one host lives at a time.
ListViewRenameList* g_shownList = nullptr;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY && g_shownList &&
      reinterpret_cast<NMHDR*>(lParam)->code == LVN_GETDISPINFOW) {
    g_shownList->OnGetDispInfo(reinterpret_cast<NMLVDISPINFOW*>(lParam));
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterHostClass() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSW wc{};
  wc.lpfnWndProc = HostProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClassName;
  return RegisterClassW(&wc) != 0;
}

}  // namespace

ListViewHost::ListViewHost() {
  static const bool registered = RegisterHostClass();
  (void)registered;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  window = CreateWindowExW(0, kClassName, L"host", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr,
                           nullptr, instance, nullptr);
  listView = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT | LVS_OWNERDATA, 0, 0, 600,
                             300, window, nullptr, instance, nullptr);
  statusBar = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD, 0, 0, 0, 0, window, nullptr,
                              instance, nullptr);
  int parts[3] = {200, 400, -1};
  SendMessageW(statusBar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
  list = std::make_unique<ListViewRenameList>(listView, statusBar);
  g_shownList = list.get();
}

ListViewHost::~ListViewHost() {
  g_shownList = nullptr;
  list.reset();
  DestroyWindow(window);
}

std::wstring ListViewHost::StatusText() const {
  wchar_t buffer[256] = {};
  SendMessageW(statusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

}  // namespace engine_test
