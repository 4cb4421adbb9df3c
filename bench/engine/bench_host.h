// A hidden main-window stand-in for the benchmarks: a top-level window with
// the report list view and status bar the rename list lives in.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/list/rename_list_view.h"

namespace bench {

inline ListViewRenameList* g_list = nullptr;

inline LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY && g_list &&
      reinterpret_cast<NMHDR*>(lParam)->code == LVN_GETDISPINFOW) {
    g_list->OnGetDispInfo(reinterpret_cast<NMLVDISPINFOW*>(lParam));
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

struct Host {
  Host() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSW wc{};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"EngineBenchHost";
    RegisterClassW(&wc);
    window = CreateWindowExW(0, L"EngineBenchHost", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 800, 500,
                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    // Shown, as the user's list is: the list view draws the rows it holds.
    listView =
        CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA, 0,
                        0, 800, 440, window, nullptr, GetModuleHandleW(nullptr), nullptr);
    for (int c = 0; c < 4; ++c) {
      LVCOLUMNW column{};
      column.mask = LVCF_WIDTH | LVCF_TEXT;
      column.cx = 200;
      column.pszText = const_cast<wchar_t*>(L"c");
      SendMessageW(listView, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
    }
    statusBar = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    int parts[3] = {200, 400, -1};
    SendMessageW(statusBar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
    ShowWindow(window, SW_SHOWNOACTIVATE);
    list = std::make_unique<ListViewRenameList>(listView, statusBar);
    g_list = list.get();
  }
  ~Host() {
    g_list = nullptr;
    DestroyWindow(window);
  }
  HWND window, listView, statusBar;
  std::unique_ptr<ListViewRenameList> list;
};

inline double Seconds(std::chrono::steady_clock::time_point from) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

// What adding a file cannot do without: the existence lookup, the open, a
// read of the start and of the last 128 bytes (where the tag is), the close.
// Adding is measured against this loop over the same files.
inline double AddFloorSeconds(const std::vector<std::wstring>& files) {
  std::vector<char> buffer(8192);
  auto start = std::chrono::steady_clock::now();
  for (const std::wstring& f : files) {
    if (GetFileAttributesW(f.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    HANDLE h =
        CreateFileW(f.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) continue;
    DWORD got = 0;
    ReadFile(h, buffer.data(), 8192, &got, nullptr);
    SetFilePointer(h, -128, nullptr, FILE_END);
    ReadFile(h, buffer.data(), 128, &got, nullptr);
    CloseHandle(h);
  }
  return Seconds(start);
}

// Console output in UTF-8 bytes: Wine's console stops wide printing at the
// first non-ASCII character.
inline void Print(const std::string& text) {
  DWORD wrote = 0;
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (!WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr))
    WriteConsoleA(out, text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr);
}

inline std::vector<std::wstring> FilesIn(const std::wstring& folder, const wchar_t* pattern) {
  std::vector<std::wstring> files;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\" + pattern).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return files;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      files.push_back(folder + L"\\" + data.cFileName);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return files;
}

// FilesIn over the folder itself and each of its subfolders (one level):
// a music collection keeps its files in album folders.
inline std::vector<std::wstring> FilesUnder(const std::wstring& folder, const wchar_t* pattern) {
  std::vector<std::wstring> files = FilesIn(folder, pattern);
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return files;
  do {
    std::wstring name = data.cFileName;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..") {
      std::vector<std::wstring> inner = FilesIn(folder + L"\\" + name, pattern);
      files.insert(files.end(), inner.begin(), inner.end());
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return files;
}

}  // namespace bench
