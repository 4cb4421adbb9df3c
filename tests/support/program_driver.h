// Drives the real program from outside its process, as a user's desktop
// would: starts velnoir.exe from a scratch folder, finds its windows and reads
// texts out of its common controls.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "tests/support/test_files.h"
#include "tests/support/silent_mp3.h"

namespace program_driver {

// Reads texts out of another process's common controls through a buffer
// allocated in that process.
class Remote {
 public:
  explicit Remote(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    memory_ = VirtualAllocEx(process_, nullptr, 8192, MEM_COMMIT, PAGE_READWRITE);
  }
  ~Remote() {
    VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
    CloseHandle(process_);
  }
  std::wstring ItemText(HWND list, int item, int column) {
    LVITEMW lv{};
    lv.iSubItem = column;
    lv.cchTextMax = 1024;
    lv.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(memory_) + 1024);
    Write(&lv, sizeof(lv));
    LRESULT n = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item),
                             reinterpret_cast<LPARAM>(memory_));
    return ReadText(1024, static_cast<size_t>(n));
  }
  std::wstring ColumnCaption(HWND list, int column) {
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT;
    c.cchTextMax = 256;
    c.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(memory_) + 1024);
    Write(&c, sizeof(c));
    SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(memory_));
    std::wstring text = ReadText(1024, 255);
    return text.substr(0, text.find(L'\0'));
  }
  void SelectItem(HWND list, int item) {
    LVITEMW lv{};
    lv.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    lv.state = LVIS_SELECTED | LVIS_FOCUSED;
    Write(&lv, sizeof(lv));
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(memory_));
  }
  RECT ItemRect(HWND list, int item) {
    RECT r{LVIR_LABEL, 0, 0, 0};
    Write(&r, sizeof(r));
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(memory_));
    ReadProcessMemory(process_, memory_, &r, sizeof(r), nullptr);
    return r;
  }
  std::wstring StatusText(HWND bar, int panel) {
    LRESULT n = SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(panel),
                             reinterpret_cast<LPARAM>(memory_));
    return ReadText(0, LOWORD(n));
  }

 private:
  void Write(const void* data, size_t size) {
    WriteProcessMemory(process_, memory_, data, size, nullptr);
  }
  std::wstring ReadText(size_t offset, size_t chars) {
    std::wstring text(chars, L'\0');
    ReadProcessMemory(process_, static_cast<char*>(memory_) + offset, text.data(),
                      chars * sizeof(wchar_t), nullptr);
    return text;
  }
  HANDLE process_;
  void* memory_;
};

// Real X input on the display Wine draws on, through xdotool: the program sees
// exactly what a user's mouse gives it. xdotool runs on its own: start.exe
// does not wait for a program of the host. False where there is no xdotool.
// A shell drop of paths, as another process makes one: the DROPFILES block
// is put into the memory of the window's process, ready to go with
// WM_DROPFILES.
inline void* DropBlockFor(HWND window, const std::vector<std::wstring>& paths) {
  std::wstring names;
  for (const std::wstring& path : paths) names += path + L'\0';
  names += L'\0';
  std::vector<char> block(sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
  auto* drop = reinterpret_cast<DROPFILES*>(block.data());
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::memcpy(block.data() + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
  void* remote = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT, PAGE_READWRITE);
  WriteProcessMemory(process, remote, block.data(), block.size(), nullptr);
  CloseHandle(process);
  return remote;
}

inline bool StartXdoTool(const std::wstring& arguments) {
  if (GetFileAttributesW(L"Z:\\usr\\bin\\xdotool") == INVALID_FILE_ATTRIBUTES) return false;
  std::wstring command = L"start.exe /unix /usr/bin/xdotool " + arguments;
  STARTUPINFOW si{sizeof(si)};
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi))
    return false;
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}
inline std::wstring XdoClick(POINT at, int button) {
  return L" mousemove " + std::to_wstring(at.x) + L" " + std::to_wstring(at.y) + L" click " +
         std::to_wstring(button);
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::make_unique<testing_files::ScratchFolder>(L"e2e");
    for (const wchar_t* file : {L"velnoir.exe", L"VBMP3.dll", L"VBSOCK.dll"})
      CopyFileW((testing_files::BinFolder() + L"\\" + file).c_str(), (*folder_ / file).c_str(),
                FALSE);
    testing_files::WriteBytes(*folder_ / L"velnoir.lst", "%A - %T\r\n");
  }
  void TearDown() override { EndProgram(); }

  // Ends the program if it still runs, as a kill would.
  void EndProgram() {
    if (!process_.hProcess) return;
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 5000);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
    process_ = {};
  }

  // Starts the program in the test's folder (ending one started before).
  void Start(const std::wstring& arguments) {
    EndProgram();
    std::wstring command = L"\"" + (*folder_ / L"velnoir.exe") + L"\" " + arguments;
    STARTUPINFOW si{sizeof(si)};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               folder_->Path().c_str(), &si, &process_));
  }
  // Waits for a top-level window of the program's process by class and caption.
  HWND WaitForWindow(const wchar_t* className, const wchar_t* caption, int milliseconds = 20000) {
    return WaitForWindowOf(className, caption, milliseconds, false);
  }
  // The same, once the window shows. A window is found as soon as it is
  // created, before its controls are: the progress window shows once they
  // exist, and a test that looked them up earlier got none.
  HWND WaitForShownWindow(const wchar_t* className, const wchar_t* caption,
                          int milliseconds = 20000) {
    return WaitForWindowOf(className, caption, milliseconds, true);
  }
  // The main window exists hidden while it loads; the program is up once it
  // shows and the files of its command line are in the list.
  HWND MainWindowOf() {
    HWND window = WaitForWindow(MainWindow::kClassName, nullptr);
    for (int i = 0; window && i < 400 && !IsWindowVisible(window); ++i) Sleep(50);
    if (window) WaitUntilAdded(window);
    return window;
  }
  // Files are added in the background; the status bar's first panel shows
  // the item count again once they are all in.
  static bool WaitUntilAdded(HWND window, int milliseconds = 30000) {
    HWND bar = Child(window, STATUSCLASSNAMEW);
    if (!bar) return false;
    Remote remote(window);
    for (int waited = 0; waited < milliseconds; waited += 20) {
      if (remote.StatusText(bar, 0).rfind(L"項目数：", 0) == 0) return true;
      Sleep(20);
    }
    return false;
  }
  // A control's text through WM_GETTEXT, which reaches another process's
  // edit controls too.
  static std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
  }
  // Chooses a menu command of the main window and, once the progress
  // window's run is over, reads its report and closes it.
  std::wstring RunFromMenu(HWND mainWindow, int command) {
    PostMessageW(mainWindow, WM_COMMAND, static_cast<WPARAM>(command), 0);
    HWND progress = WaitForShownWindow(L"VelnoirProgress", L"実行中");
    if (!progress) return L"(no progress window)";
    HWND button = GetDlgItem(progress, 104);
    for (int i = 0; i < 400 && WindowText(button) != L"閉じる(&C)"; ++i) Sleep(50);
    std::wstring report = WindowText(GetDlgItem(progress, 103));
    PostMessageW(button, BM_CLICK, 0, 0);
    for (int i = 0; i < 200 && IsWindow(progress); ++i) Sleep(50);
    return report;
  }
  bool Ends(int milliseconds = 20000) {
    return WaitForSingleObject(process_.hProcess, static_cast<DWORD>(milliseconds)) ==
           WAIT_OBJECT_0;
  }
  static HWND Child(HWND parent, const wchar_t* className) {
    return FindWindowExW(parent, nullptr, className, nullptr);
  }
  // The program's visible pop-up menu, or null.
  HWND VisiblePopupMenu() const {
    HWND found = nullptr;
    while ((found = FindWindowExW(nullptr, found, L"#32768", nullptr)) != nullptr) {
      DWORD pid = 0;
      GetWindowThreadProcessId(found, &pid);
      if (pid == process_.dwProcessId && IsWindowVisible(found)) return found;
    }
    return nullptr;
  }
  // Waits up to milliseconds for the pop-up menu to be shown (or, with
  // shown false, to be gone).
  bool PopupMenuBecomes(bool shown, int milliseconds = 3000) const {
    for (int waited = 0; waited <= milliseconds; waited += 20) {
      if ((VisiblePopupMenu() != nullptr) == shown) return true;
      Sleep(20);
    }
    return false;
  }

  std::unique_ptr<testing_files::ScratchFolder> folder_;
  PROCESS_INFORMATION process_{};

 private:
  HWND WaitForWindowOf(const wchar_t* className, const wchar_t* caption, int milliseconds,
                       bool shown) {
    for (int waited = 0; waited < milliseconds; waited += 20) {
      HWND found = nullptr;
      while ((found = FindWindowExW(nullptr, found, className, caption)) != nullptr) {
        DWORD pid = 0;
        GetWindowThreadProcessId(found, &pid);
        if (pid == process_.dwProcessId && (!shown || IsWindowVisible(found))) return found;
      }
      if (WaitForSingleObject(process_.hProcess, 20) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
  }
};

using testing_files::SilentMp3;

}  // namespace program_driver
