// The undo command in the main window: where it sits, and that it is
// enabled exactly while the program folder holds a journal of the last run.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <memory>

#include "app/main_window.h"
#include "tests/support/test_files.h"
#include "tests/support/ui_driver.h"
#include "win/ui.h"

using testing_files::ReadBytes;
using testing_files::ScratchFolder;
using testing_files::WriteBytes;

namespace {

// Closes the progress window once its run is over, as the user would.
void CALLBACK CloseFinishedProgress(HWND, UINT, UINT_PTR, DWORD) {
  HWND button = ui_driver::ProgressButton();
  if (button && win::GetText(button) == L"閉じる(&C)") PostMessageW(button, BM_CLICK, 0, 0);
}

class UndoMenuTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { MainWindow::PrepareThread(); }
  void SetUp() override {
    // The template list lives beside the settings; with it present no
    // first-run message interrupts the tests.
    WriteBytes(folder_ / L"velnoir.lst", "%A - %T\r\n");
    window_ = std::make_unique<MainWindow>(folder_.Path());
    ASSERT_TRUE(window_->Create());
    timer_ = SetTimer(nullptr, 0, 100, CloseFinishedProgress);
  }
  void TearDown() override {
    KillTimer(nullptr, timer_);
    SendMessageW(window_->Handle(), WM_CLOSE, 0, 0);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) break;
      DispatchMessageW(&msg);
    }
  }
  std::wstring File(const std::wstring& name, const std::string& bytes) {
    WriteBytes(folder_ / name, bytes);
    return folder_ / name;
  }
  void Add(const std::wstring& source, const std::wstring& target) {
    window_->RenameEntries().Append({source, target, L"", L""});
  }
  void Command(int id) { SendMessageW(window_->Handle(), WM_COMMAND, static_cast<WPARAM>(id), 0); }
  bool UndoEnabled() const { return window_->IsEnabled(IDM_UNDORENAME); }

  ScratchFolder folder_{L"undomenu"};
  std::unique_ptr<MainWindow> window_;
  UINT_PTR timer_ = 0;
};

}  // namespace

TEST_F(UndoMenuTest, SitsBelowStartRenamingAndIsDisabledWithoutAJournal) {
  HMENU bar = GetMenu(window_->Handle());
  HMENU file = GetSubMenu(bar, 0);
  ASSERT_EQ(GetMenuItemCount(file), 8);
  EXPECT_EQ(GetMenuItemID(file, 4), static_cast<UINT>(IDM_EXECRENAME));
  EXPECT_EQ(GetMenuItemID(file, 5), static_cast<UINT>(IDM_UNDORENAME));
  EXPECT_EQ(ui_driver::MenuText(file, 5), L"直前のリネームを元に戻す(&U)");
  EXPECT_EQ(GetMenuItemID(file, 7), static_cast<UINT>(IDM_EXIT));
  EXPECT_FALSE(UndoEnabled());
  // A command that arrives anyway (posted from outside) does nothing.
  Command(IDM_UNDORENAME);
  EXPECT_EQ(FindWindowW(L"VelnoirProgress", nullptr), nullptr);
  // The other commands are as they were.
  EXPECT_TRUE(window_->IsEnabled(IDM_EXECRENAME));
  EXPECT_TRUE(window_->IsEnabled(IDM_OPEN));
  EXPECT_EQ(GetMenuItemCount(GetSubMenu(bar, 1)), 4);
  EXPECT_EQ(GetMenuItemCount(GetSubMenu(bar, 2)), 3);
  EXPECT_EQ(GetMenuItemCount(GetSubMenu(bar, 3)), 1);
}

TEST_F(UndoMenuTest, EnabledAfterARunDisabledAfterAFullUndo) {
  std::wstring a = File(L"a.mp3", "A"), b = File(L"b.mp3", "B");
  Add(a, folder_ / L"first.mp3");
  Add(b, folder_ / L"second.mp3");
  Command(IDM_EXECRENAME);
  EXPECT_EQ(window_->RenameEntries().Count(), 0);
  EXPECT_TRUE(UndoEnabled());
  EXPECT_FALSE(ReadBytes(folder_ / L"velnoir.jnl").empty());
  Command(IDM_UNDORENAME);
  EXPECT_FALSE(UndoEnabled());
  EXPECT_EQ(ReadBytes(a), "A");
  EXPECT_EQ(ReadBytes(b), "B");
  EXPECT_EQ(GetFileAttributesW((folder_ / L"velnoir.jnl").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(UndoMenuTest, StaysEnabledWhileLinesAreLeftAndComesUpEnabledNextTime) {
  std::wstring a = File(L"a.mp3", "A"), b = File(L"b.mp3", "B");
  Add(a, folder_ / L"first.mp3");
  Add(b, folder_ / L"second.mp3");
  Command(IDM_EXECRENAME);
  File(L"a.mp3", "someone else's");
  Command(IDM_UNDORENAME);
  EXPECT_TRUE(UndoEnabled());
  EXPECT_EQ(ReadBytes(b), "B");
  EXPECT_EQ(ReadBytes(folder_ / L"first.mp3"), "A");

  // The journal outlives the window.
  TearDown();
  SetUp();
  EXPECT_TRUE(UndoEnabled());
  DeleteFileW(a.c_str());
  Command(IDM_UNDORENAME);
  EXPECT_FALSE(UndoEnabled());
  EXPECT_EQ(ReadBytes(a), "A");
}
