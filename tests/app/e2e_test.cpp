// The real program driven from outside its process, as a user's desktop
// would: started with files on its command line, read through its windows,
// closed, started again with a hand-written settings file.
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "tests/app/test_files.h"
#include "win/text.h"

using testing_files::ReadBytes;
using testing_files::ScratchFolder;
using testing_files::WriteBytes;

namespace {

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
    LRESULT n = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(memory_));
    return ReadText(1024, static_cast<size_t>(n));
  }
  std::wstring ColumnCaption(HWND list, int column) {
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT;
    c.cchTextMax = 256;
    c.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(memory_) + 1024);
    Write(&c, sizeof(c));
    SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(memory_));
    std::wstring text = ReadText(1024, 255);
    return text.substr(0, text.find(L'\0'));
  }
  void SelectItem(HWND list, int item) {
    LVITEMW lv{};
    lv.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    lv.state = LVIS_SELECTED | LVIS_FOCUSED;
    Write(&lv, sizeof(lv));
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(memory_));
  }
  std::wstring StatusText(HWND bar, int panel) {
    LRESULT n = SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(memory_));
    return ReadText(0, LOWORD(n));
  }

 private:
  void Write(const void* data, size_t size) {
    WriteProcessMemory(process_, memory_, data, size, nullptr);
  }
  std::wstring ReadText(size_t offset, size_t chars) {
    std::wstring text(chars, L'\0');
    ReadProcessMemory(process_, static_cast<char*>(memory_) + offset, text.data(), chars * sizeof(wchar_t), nullptr);
    return text;
  }
  HANDLE process_;
  void* memory_;
};

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::make_unique<ScratchFolder>(L"e2e");
    for (const wchar_t* file : {L"velnoir.exe", L"VBMP3.dll", L"VBSOCK.dll"})
      CopyFileW((testing_files::BinFolder() + L"\\" + file).c_str(), (*folder_ / file).c_str(), FALSE);
    WriteBytes(*folder_ / L"velnoir.lst", "%A - %T\r\n");
  }
  void TearDown() override {
    if (process_.hProcess) {
      TerminateProcess(process_.hProcess, 1);
      WaitForSingleObject(process_.hProcess, 5000);
      CloseHandle(process_.hProcess);
      CloseHandle(process_.hThread);
    }
  }

  void Start(const std::wstring& arguments) {
    std::wstring command = L"\"" + (*folder_ / L"velnoir.exe") + L"\" " + arguments;
    STARTUPINFOW si{sizeof(si)};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               folder_->Path().c_str(), &si, &process_));
  }
  // Waits for a top-level window of the program's process by class and caption.
  HWND WaitForWindow(const wchar_t* className, const wchar_t* caption, int milliseconds = 20000) {
    for (int waited = 0; waited < milliseconds; waited += 50) {
      HWND found = nullptr;
      while ((found = FindWindowExW(nullptr, found, className, caption)) != nullptr) {
        DWORD pid = 0;
        GetWindowThreadProcessId(found, &pid);
        if (pid == process_.dwProcessId) return found;
      }
      if (WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
  }
  // The main window exists hidden while it loads; the program is up once it shows.
  HWND MainWindowOf() {
    HWND window = WaitForWindow(MainWindow::kClassName, nullptr);
    for (int i = 0; window && i < 400 && !IsWindowVisible(window); ++i) Sleep(50);
    return window;
  }
  bool Ends(int milliseconds = 20000) {
    return WaitForSingleObject(process_.hProcess, static_cast<DWORD>(milliseconds)) == WAIT_OBJECT_0;
  }
  static HWND Child(HWND parent, const wchar_t* className) {
    return FindWindowExW(parent, nullptr, className, nullptr);
  }

  std::unique_ptr<ScratchFolder> folder_;
  PROCESS_INFORMATION process_{};
};

// Silent MPEG-1 Layer III frames (128 kbps, 44.1 kHz, all side information
// zero) followed by an ID3v1 tag: a file any decoder plays as silence.
std::string SilentMp3(int frames, const std::string& title) {
  std::string bytes;
  for (int i = 0; i < frames; ++i) {
    // 417 bytes without padding, 418 with: 144 * 128000 / 44100 = 417.96.
    bool padding = (i % 50) != 0;
    std::string frame(padding ? 418 : 417, '\0');
    frame[0] = '\xFF';
    frame[1] = '\xFB';
    frame[2] = static_cast<char>(0x90 | (padding ? 0x02 : 0x00));
    frame[3] = '\x44';  // joint stereo
    bytes += frame;
  }
  std::string tag(128, '\0');
  tag.replace(0, 3, "TAG");
  tag.replace(3, title.size(), title);
  tag[127] = '\xFF';
  return bytes + tag;
}

}  // namespace

TEST_F(ProgramTest, PlaysAnEntryAndShowsItsTime) {
  if (waveOutGetNumDevs() == 0) GTEST_SKIP() << "no audio output device";
  WriteBytes(*folder_ / L"tone.mp3", SilentMp3(115, "Quiet"));  // 3 seconds
  Start(L"\"" + (*folder_ / L"tone.mp3") + L"\"");
  HWND window = MainWindowOf();
  ASSERT_NE(window, nullptr);
  HWND list = Child(window, WC_LISTVIEWW), status = Child(window, STATUSCLASSNAMEW);
  Remote remote(window);
  remote.SelectItem(list, 0);
  PostMessageW(window, WM_COMMAND, IDM_PLAYERPLAY, 0);
  std::wstring seen;
  for (int i = 0; i < 60 && seen.rfind(L"再生中", 0) != 0; ++i) {
    Sleep(100);
    seen = remote.StatusText(status, 1);
  }
  EXPECT_EQ(seen.substr(0, 14), L"再生中 - Quiet - ");
  EXPECT_EQ(seen.substr(seen.size() - 6), L"/0:03 ");
  // Continuous play is off: at the end the player stops by itself.
  for (int i = 0; i < 80 && seen != L"停止"; ++i) {
    Sleep(100);
    seen = remote.StatusText(status, 1);
  }
  EXPECT_EQ(seen, L"停止");
  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(Ends());
}

TEST_F(ProgramTest, StartsWithCommandLineFilesAndSavesAtClose) {
  WriteBytes(*folder_ / L"a b.mp3", "no tag here");
  WriteBytes(*folder_ / L"c.mp3", "no tag here either");
  Start(L"\"" + (*folder_ / L"a b.mp3") + L"\" " + (*folder_ / L"missing.mp3") + L" " + (*folder_ / L"c.mp3"));
  HWND window = MainWindowOf();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindowVisible(window));
  wchar_t caption[128] = {};
  GetWindowTextW(window, caption, 128);
  EXPECT_STREQ(caption, L"MP3 Velnoir ぽめろ");

  HWND list = Child(window, WC_LISTVIEWW), status = Child(window, STATUSCLASSNAMEW);
  ASSERT_TRUE(list && status);
  Remote remote(window);
  EXPECT_EQ(remote.ColumnCaption(list, 0), L"元ファイル名(フルパス)");
  EXPECT_EQ(remote.ColumnCaption(list, 1), L"リネーム後ファイル名(フルパス)");
  EXPECT_EQ(remote.ColumnCaption(list, 2), L"元ファイル名(ファイル名のみ)");
  EXPECT_EQ(remote.ColumnCaption(list, 3), L"リネーム後ファイル名(ファイル名のみ)");
  ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(remote.ItemText(list, 0, 0), *folder_ / L"a b.mp3");
  EXPECT_EQ(remote.ItemText(list, 0, 2), L"a b.mp3");
  EXPECT_EQ(remote.ItemText(list, 1, 0), *folder_ / L"c.mp3");
  EXPECT_EQ(remote.StatusText(status, 0), L"項目数：2");
  EXPECT_EQ(remote.StatusText(status, 1), L"停止");

  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(Ends());
  std::string ini = ReadBytes(*folder_ / L"velnoir.ini");
  EXPECT_NE(ini.find("[QKPomeren_SE Window]"), std::string::npos) << ini;
  EXPECT_NE(ini.find("LastWindowState=0"), std::string::npos);
  EXPECT_NE(ini.find("RenameExt_Default=%A - %T"), std::string::npos);
  EXPECT_EQ(ReadBytes(*folder_ / L"velnoir.lst"), "%A - %T\r\n");
}

TEST_F(ProgramTest, ComesUpInTheStoredState) {
  WriteBytes(*folder_ / L"velnoir.ini",
             "[QKPomeren_SE Window]\r\nLastWindowState=2\r\nLastToolBarVisible=0\r\n"
             "LastToolBarStyleFlat=1\r\nLastShowFilenameOnly=1\r\n");
  Start(L"");
  HWND window = MainWindowOf();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsZoomed(window));
  HWND toolbar = Child(window, TOOLBARCLASSNAMEW), list = Child(window, WC_LISTVIEWW);
  EXPECT_FALSE(IsWindowVisible(toolbar));
  EXPECT_TRUE(GetWindowLongPtrW(toolbar, GWL_STYLE) & TBSTYLE_FLAT);
  EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), 0);
  EXPECT_GT(SendMessageW(list, LVM_GETCOLUMNWIDTH, 2, 0), 0);
  // The exit command saves like the close box and ends the process.
  PostMessageW(window, WM_COMMAND, IDM_EXIT, 0);
  ASSERT_TRUE(Ends());
  std::string ini = ReadBytes(*folder_ / L"velnoir.ini");
  EXPECT_NE(ini.find("LastWindowState=2"), std::string::npos) << ini;
  EXPECT_NE(ini.find("LastToolBarVisible=0"), std::string::npos);
  EXPECT_NE(ini.find("LastShowFilenameOnly=1"), std::string::npos);
}

TEST_F(ProgramTest, FirstStartCreatesTheTemplateList) {
  DeleteFileW((*folder_ / L"velnoir.lst").c_str());
  Start(L"");
  HWND message = WaitForWindow(L"#32770", L"ぽめろ 初期設定");
  ASSERT_NE(message, nullptr);
  PostMessageW(message, WM_COMMAND, IDOK, 0);
  HWND window = MainWindowOf();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(ReadBytes(*folder_ / L"velnoir.lst"), "%A - %T\r\n(%A) %T\r\n%T\r\n");
  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(Ends());
}

TEST_F(ProgramTest, MissingAudioLibraryEndsWithItsMessage) {
  DeleteFileW((*folder_ / L"VBMP3.dll").c_str());
  Start(L"");
  HWND message = WaitForWindow(L"#32770", L"DLL操作エラー");
  ASSERT_NE(message, nullptr);
  HWND text = FindWindowExW(message, nullptr, L"Static", L"VBMP3の初期化に失敗しました。起動できません。");
  EXPECT_NE(text, nullptr);
  PostMessageW(message, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(Ends());
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  EXPECT_NE(code, 0u);
  EXPECT_EQ(GetFileAttributesW((*folder_ / L"velnoir.ini").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(FindWindowW(MainWindow::kClassName, nullptr), nullptr);
}
