// Adding folders in the main window: the command's place and shortcut, and a
// dropped folder (a mixed tree on the real file system) bringing in exactly
// its audio files in Explorer order.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "app/main_window.h"
#include "engine/folder_walk_win.h"
#include "tests/support/test_files.h"
#include "tests/support/ui_driver.h"
#include "win/ui.h"

using testing_files::ScratchFolder;
using testing_files::WriteBytes;

namespace {

class FolderAddTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { MainWindow::PrepareThread(); }
  void SetUp() override {
    WriteBytes(program_ / L"velnoir.lst", "%A - %T\r\n");
    window_ = std::make_unique<MainWindow>(program_.Path());
    ASSERT_TRUE(window_->Create());
  }
  void TearDown() override {
    SendMessageW(window_->Handle(), WM_CLOSE, 0, 0);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) break;
      DispatchMessageW(&msg);
    }
  }
  std::vector<std::wstring> Sources() {
    std::vector<std::wstring> sources;
    for (int i = 1; i <= window_->RenameEntries().Count(); ++i)
      sources.push_back(window_->RenameEntries().Get(i).source);
    return sources;
  }
  void Folder(const std::wstring& path) { CreateDirectoryW(path.c_str(), nullptr); }

  ScratchFolder program_{L"folderadd"};
  ScratchFolder music_{L"foldermusic"};
  std::unique_ptr<MainWindow> window_;
};

}  // namespace

TEST_F(FolderAddTest, CommandSitsBelowAddFilesWithCtrlShiftO) {
  HMENU file = GetSubMenu(GetMenu(window_->Handle()), 0);
  EXPECT_EQ(GetMenuItemID(file, 0), static_cast<UINT>(IDM_OPEN));
  EXPECT_EQ(GetMenuItemID(file, 1), static_cast<UINT>(IDM_OPENFOLDER));
  EXPECT_EQ(ui_driver::MenuText(file, 1), L"フォルダを追加(&F)...\tCtrl+Shift+O");
  EXPECT_EQ(GetMenuItemID(file, 2), static_cast<UINT>(IDM_DELETE));

  ACCEL keys[16];
  int count = CopyAcceleratorTableW(window_->Accelerators(), keys, 16);
  bool folderKey = false, fileKey = false;
  for (int i = 0; i < count; ++i) {
    if (keys[i].key == 'O' && keys[i].cmd == IDM_OPENFOLDER)
      folderKey = keys[i].fVirt == (FCONTROL | FSHIFT | FVIRTKEY);
    if (keys[i].key == 'O' && keys[i].cmd == IDM_OPEN)
      fileKey = keys[i].fVirt == (FCONTROL | FVIRTKEY);
  }
  EXPECT_TRUE(folderKey);
  EXPECT_TRUE(fileKey);  // Ctrl+O alone still adds files
}

// Hidden entries, a .txt and a name with an audio-like ending stay out; a
// file dropped beside the folder comes in as today, whatever its extension.
TEST_F(FolderAddTest, DroppedFolderBringsItsAudioFilesInExplorerOrder) {
  std::wstring root = music_ / L"Music";
  Folder(root);
  Folder(root + L"\\Album 10");
  Folder(root + L"\\album 2");
  Folder(root + L"\\album 2\\Disc 1");
  Folder(root + L"\\Hidden");
  for (const wchar_t* name :
       {L"\\b.MP3", L"\\a10.wav", L"\\a9.Rmp", L"\\notes.txt", L"\\x.mp3x", L"\\Album 10\\1.mp1",
        L"\\album 2\\2.mp3", L"\\album 2\\Disc 1\\d.mp3", L"\\Hidden\\h.mp3", L"\\secret.mp3"})
    WriteBytes(root + name, "not audio");
  SetFileAttributesW((root + L"\\Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesW((root + L"\\secret.mp3").c_str(), FILE_ATTRIBUTE_HIDDEN);
  std::wstring loose = music_ / L"loose.txt";
  WriteBytes(loose, "x");

  window_->AddFiles({root, loose});
  while (window_->Adding()) {
    win::PumpMessages();
    Sleep(1);
  }
  EXPECT_EQ(Sources(), (std::vector<std::wstring>{root + L"\\a9.Rmp", root + L"\\a10.wav",
                                                  root + L"\\b.MP3", root + L"\\album 2\\2.mp3",
                                                  root + L"\\album 2\\Disc 1\\d.mp3",
                                                  root + L"\\Album 10\\1.mp1", loose}));
  // A folder is never an entry of its own.
  EXPECT_FALSE(IsFolderPath(Sources().back()));
}

namespace {

std::wstring StatusPanel(HWND bar) {
  wchar_t text[128] = {};
  SendMessageW(bar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
  return text;
}

}  // namespace

// Entries arrive in their final order while the status bar counts; Esc in
// the list stops the add and keeps what was added; the commands that need
// the whole list wait meanwhile.
TEST_F(FolderAddTest, EscStopsASlowAddKeepingWhatWasAdded) {
  std::wstring root = music_ / L"Slow";
  Folder(root);
  std::vector<std::wstring> expected;
  for (int i = 1; i <= 200; ++i) {
    expected.push_back(root + L"\\" + std::to_wstring(i) + L".mp3");
    WriteBytes(expected.back(), "not audio");
  }
  window_->SetAddDelayPerFile(10);
  window_->AddFiles({root});
  EXPECT_TRUE(window_->Adding());
  EXPECT_FALSE(window_->IsEnabled(IDM_EXECRENAME));
  EXPECT_FALSE(window_->IsEnabled(IDM_OPTION));
  EXPECT_TRUE(window_->IsEnabled(IDM_OPEN));  // more can be added meanwhile
  std::wstring counting;
  for (int i = 0; i < 2000 && window_->RenameEntries().Count() < 5; ++i) {
    win::PumpMessages();
    std::wstring status = StatusPanel(window_->StatusBar());
    if (status.rfind(L"追加中：", 0) == 0) counting = status;
    Sleep(2);
  }
  EXPECT_NE(counting.find(L" / 200 件"), std::wstring::npos) << testing::PrintToString(counting);
  // A run started now waits: nothing opens.
  SendMessageW(window_->Handle(), WM_COMMAND, IDM_EXECRENAME, 0);
  EXPECT_EQ(FindWindowW(L"VelnoirProgress", nullptr), nullptr);

  MSG esc{window_->ListView(), WM_KEYDOWN, VK_ESCAPE, 0};
  ASSERT_TRUE(TranslateAcceleratorW(window_->Handle(), window_->Accelerators(), &esc));
  while (window_->Adding()) {
    win::PumpMessages();
    Sleep(1);
  }
  std::vector<std::wstring> added = Sources();
  ASSERT_GE(added.size(), 5u);
  EXPECT_LT(added.size(), 200u);
  EXPECT_TRUE(std::equal(added.begin(), added.end(), expected.begin()));
  EXPECT_EQ(StatusPanel(window_->StatusBar()), L"項目数：" + std::to_wstring(added.size()));
  EXPECT_TRUE(window_->IsEnabled(IDM_EXECRENAME));
  EXPECT_TRUE(window_->IsEnabled(IDM_OPTION));
}

// Closing during an add does not wait for the files still to read.
TEST_F(FolderAddTest, ClosingDuringAnAddClosesAtOnce) {
  std::wstring root = music_ / L"Long";
  Folder(root);
  for (int i = 1; i <= 100; ++i) WriteBytes(root + L"\\" + std::to_wstring(i) + L".mp3", "x");
  window_->SetAddDelayPerFile(50);
  window_->AddFiles({root});
  win::PumpMessages();
  DWORD started = GetTickCount();
  SendMessageW(window_->Handle(), WM_CLOSE, 0, 0);
  // The add had five seconds of files left: a close that waited for it
  // would take them; one that stops it waits for the file in hand at most.
  EXPECT_LT(GetTickCount() - started, 2500u);
  EXPECT_FALSE(IsWindow(window_->Handle()));
}
