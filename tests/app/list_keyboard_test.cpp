// The list as a user works it with real keys and clicks (SendInput): the
// focus, Enter, the pop-up menu from the keyboard, several entries selected
// and removed together, and sorting by a column header.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "tests/support/run_adapters.h"
#include "tests/support/test_files.h"
#include "tests/support/ui_driver.h"

using testing_files::ScratchFolder;
using testing_files::WriteBytes;
using ui_driver::ClickForReal;
using ui_driver::PressKeysForReal;

namespace {

class ListKeyboardTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { MainWindow::PrepareThread(); }

  void SetUp() override {
    folder_ = std::make_unique<ScratchFolder>(L"keys");
    WriteBytes(*folder_ / L"velnoir.lst", "%A - %T\r\n");
    window_ = std::make_unique<MainWindow>(folder_->Path());
    ASSERT_TRUE(window_->Create());
    window_->Show();
    SetForegroundWindow(window_->Handle());
  }

  void TearDown() override {
    SendMessageW(window_->Handle(), WM_CLOSE, 0, 0);
    Pump([] { return false; }, 50);
  }

  // The entry procedure's loop, until done says so or the time is up.
  bool Pump(const std::function<bool()>& done, DWORD milliseconds = 3000) {
    DWORD start = GetTickCount();
    for (;;) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (TranslateAcceleratorW(window_->Handle(), window_->Accelerators(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      if (done()) return true;
      if (GetTickCount() - start > milliseconds) return false;
      Sleep(5);
    }
  }
  // Keys, then the loop until done; and a moment more for their releases.
  bool Press(std::initializer_list<WORD> keys, const std::function<bool()>& done) {
    PressKeysForReal(keys);
    bool happened = Pump(done);
    Pump([] { return false; }, 30);
    return happened;
  }

  void Fill(std::initializer_list<const wchar_t*> names) {
    for (const wchar_t* name : names) {
      std::wstring path = *folder_ / name;
      WriteBytes(path, "no tag");
      List().Append({path, *folder_ / (std::wstring(L"new ") + name), name, L""});
    }
  }
  ListViewRenameList& List() { return window_->RenameEntries(); }
  std::vector<std::wstring> Names() {
    std::vector<std::wstring> names;
    for (int i = 1; i <= List().Count(); ++i) names.push_back(List().Get(i).sourceName);
    return names;
  }
  // The selected rows as the list view shows them, from 1.
  std::vector<int> Selection() {
    std::vector<int> rows;
    HWND list = window_->ListView();
    for (int i = ListView_GetNextItem(list, -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(list, i, LVNI_SELECTED))
      rows.push_back(i + 1);
    return rows;
  }
  POINT RowPoint(int position) {
    RECT r;
    ListView_GetItemRect(window_->ListView(), position - 1, &r, LVIR_LABEL);
    return {r.left + 4, (r.top + r.bottom) / 2};
  }
  std::wstring PlayerStatus() {
    wchar_t text[256] = {};
    SendMessageW(window_->StatusBar(), SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(text));
    return text;
  }

  std::unique_ptr<ScratchFolder> folder_;
  std::unique_ptr<MainWindow> window_;
};

// What a modal window of the program looked like; a timer sees it and ends it.
struct Seen {
  bool popup = false, property = false;
  bool playEnabled = false, propertyEnabled = false;
  RECT popupRect{};
};
Seen g_seen;
MainWindow* g_window;

// A window of this thread's of the class; nullptr for none.
HWND OwnWindow(const wchar_t* className) {
  for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, className, nullptr)) != nullptr;)
    if (GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId() && IsWindowVisible(w))
      return w;
  return nullptr;
}

void CALLBACK EndWhatOpened(HWND, UINT, UINT_PTR id, DWORD) {
  if (HWND menu = OwnWindow(L"#32768")) {
    g_seen.popup = true;
    g_seen.playEnabled = g_window->IsEnabled(IDM_RMPLAYERPLAY);
    g_seen.propertyEnabled = g_window->IsEnabled(IDM_RMPROPERTY);
    GetWindowRect(menu, &g_seen.popupRect);
    EndMenu();
  } else if (HWND box = OwnWindow(L"#32770")) {
    // What a file without audio makes the player or the dialog say.
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return;
  } else if (HWND property = OwnWindow(L"VelnoirFileProperty")) {
    g_seen.property = true;
    PostMessageW(property, WM_CLOSE, 0, 0);
  } else {
    return;
  }
  KillTimer(nullptr, id);
}

void WatchForModal(MainWindow& window) {
  g_seen = {};
  g_window = &window;
  SetTimer(nullptr, 0, 100, EndWhatOpened);
}

}  // namespace

// Down from the start selects the first entry; Shift with the arrows and
// Ctrl+A select several; Del removes them all and selects what took their
// place, so Del goes on working.
TEST_F(ListKeyboardTest, KeysSelectSeveralAndDelRemovesThemAll) {
  Fill({L"1", L"2", L"3", L"4", L"5", L"6"});
  EXPECT_EQ(GetFocus(), window_->ListView());
  ASSERT_TRUE(Press({VK_DOWN}, [&] { return Selection() == std::vector<int>{1}; }));
  ASSERT_TRUE(Press({VK_DOWN}, [&] { return Selection() == std::vector<int>{2}; }));
  ASSERT_TRUE(Press({VK_SHIFT, VK_DOWN}, [&] { return Selection().size() == 2; }));
  EXPECT_EQ(Selection(), (std::vector<int>{2, 3}));
  ASSERT_TRUE(Press({VK_DELETE}, [&] { return List().Count() == 4; }));
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"1", L"4", L"5", L"6"}));
  EXPECT_EQ(Selection(), std::vector<int>{2});  // "4", in the first one's place
  ASSERT_TRUE(Press({VK_END}, [&] { return Selection() == std::vector<int>{4}; }));
  ASSERT_TRUE(Press({VK_DELETE}, [&] { return List().Count() == 3; }));
  EXPECT_EQ(Selection(), std::vector<int>{3});  // at the end: the new last one
  ASSERT_TRUE(Press({VK_CONTROL, 'A'}, [&] { return Selection().size() == 3; }));
  ASSERT_TRUE(Press({VK_DELETE}, [&] { return List().Count() == 0; }));
  EXPECT_TRUE(Selection().empty());
}

// Ctrl+click and Shift+click add to the selection; the menu's delete removes
// every selected entry, with the player's rule for each: the one playing is
// stopped, one before it leaves playback going.
TEST_F(ListKeyboardTest, ClicksSelectSeveralAndTheirRemovalMindsThePlayer) {
  Fill({L"1", L"2", L"3", L"4", L"5", L"6"});
  HWND list = window_->ListView();
  ClickForReal(list, RowPoint(2));
  ASSERT_TRUE(Pump([&] { return Selection() == std::vector<int>{2}; }));
  ClickForReal(list, RowPoint(4), {VK_CONTROL});
  ASSERT_TRUE(Pump([&] { return Selection() == std::vector<int>{2, 4}; }));
  window_->PreviewPlayer().PlayIndex = 5;  // after both
  window_->SetPlayerStatus(L"再生中");
  SendMessageW(window_->Handle(), WM_COMMAND, IDM_DELETE, 0);
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"1", L"3", L"5", L"6"}));
  EXPECT_EQ(window_->PreviewPlayer().PlayIndex, -1);
  EXPECT_EQ(PlayerStatus(), L"再生中");  // playback goes on
  EXPECT_EQ(Selection(), std::vector<int>{2});

  ClickForReal(list, RowPoint(4), {VK_SHIFT});
  ASSERT_TRUE(Pump([&] { return Selection() == std::vector<int>{2, 3, 4}; }));
  window_->PreviewPlayer().PlayIndex = 3;  // among them
  SendMessageW(window_->Handle(), WM_COMMAND, IDM_DELETE, 0);
  EXPECT_EQ(Names(), std::vector<std::wstring>{L"1"});
  EXPECT_EQ(PlayerStatus(), L"停止");
  EXPECT_EQ(Selection(), std::vector<int>{1});
}

// Enter does what a double click does; the focus comes back to the list
// when the property dialog closes.
TEST_F(ListKeyboardTest, EnterOpensThePropertiesOrPlaysAndTheFocusComesBack) {
  Fill({L"1", L"2"});
  ASSERT_TRUE(Press({VK_DOWN}, [&] { return Selection() == std::vector<int>{1}; }));
  WatchForModal(*window_);
  ASSERT_TRUE(Press({VK_RETURN}, [&] { return g_seen.property; }));
  EXPECT_TRUE(Pump([&] { return GetFocus() == window_->ListView(); }));

  window_->UserPreferences().settings.doubleClickAction = 1;
  ASSERT_TRUE(Press({VK_DOWN}, [&] { return Selection() == std::vector<int>{2}; }));
  WatchForModal(*window_);
  ASSERT_TRUE(Press({VK_RETURN}, [&] { return window_->PreviewPlayer().PlayIndex == 2; }));
  EXPECT_TRUE(Pump([&] { return GetFocus() == window_->ListView(); }));
}

// Shift+F10 and the menu key open the list's pop-up at the focused entry,
// with its items disabled while the list is empty.
TEST_F(ListKeyboardTest, ShiftF10AndTheMenuKeyOpenThePopupAtTheFocusedEntry) {
  WatchForModal(*window_);
  ASSERT_TRUE(Press({VK_SHIFT, VK_F10}, [&] { return g_seen.popup; }));
  EXPECT_FALSE(g_seen.playEnabled);
  EXPECT_FALSE(g_seen.propertyEnabled);
  EXPECT_TRUE(window_->IsEnabled(IDM_RMPLAYERPLAY));

  Fill({L"1", L"2", L"3"});
  ASSERT_TRUE(Press({VK_END}, [&] { return Selection() == std::vector<int>{3}; }));
  WatchForModal(*window_);
  ASSERT_TRUE(Press({VK_APPS}, [&] { return g_seen.popup; }));
  EXPECT_TRUE(g_seen.playEnabled);
  EXPECT_TRUE(g_seen.propertyEnabled);
  RECT row;
  ListView_GetItemRect(window_->ListView(), 2, &row, LVIR_BOUNDS);
  MapWindowPoints(window_->ListView(), nullptr, reinterpret_cast<POINT*>(&row), 2);
  EXPECT_NEAR(g_seen.popupRect.top, row.bottom, row.bottom - row.top);
  WatchForModal(*window_);
  ASSERT_TRUE(Press({VK_SHIFT, VK_F10}, [&] { return g_seen.popup; }));
  // The menu bar did not take the F10 for itself.
  EXPECT_TRUE(Press({VK_DOWN}, [&] { return Selection() == std::vector<int>{3}; }));
  EXPECT_EQ(GetFocus(), window_->ListView());
}

// A header click sorts in Explorer's order, a second one reverses; the
// arrow shows which; the player stays on its entry, and the run goes
// through the list as it is shown.
TEST_F(ListKeyboardTest, AHeaderClickSortsAndTheRunFollowsTheShownOrder) {
  Fill({L"Track 10", L"track 2", L"Track 1", L"b"});
  window_->PreviewPlayer().PlayIndex = 2;  // "track 2"
  HWND header = ListView_GetHeader(window_->ListView());
  RECT column;
  window_->OnShowFilenameOnlyClick();  // the file-name column is hidden at first
  Header_GetItemRect(header, 2, &column);
  auto arrow = [&] {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    SendMessageW(header, HDM_GETITEMW, 2, reinterpret_cast<LPARAM>(&item));
    return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
  };
  const std::vector<std::wstring> ascending{L"b", L"Track 1", L"track 2", L"Track 10"};
  ClickForReal(header, {(column.left + column.right) / 2, (column.top + column.bottom) / 2});
  ASSERT_TRUE(Pump([&] { return Names() == ascending; }));
  EXPECT_EQ(arrow(), HDF_SORTUP);
  EXPECT_EQ(List().Get(window_->PreviewPlayer().PlayIndex).sourceName, L"track 2");
  // Away from the first click's point: no double click.
  ClickForReal(header, {(column.left + column.right) / 2 + 20, (column.top + column.bottom) / 2});
  ASSERT_TRUE(Pump(
      [&] { return Names() == std::vector<std::wstring>(ascending.rbegin(), ascending.rend()); }));
  EXPECT_EQ(arrow(), HDF_SORTDOWN);
  EXPECT_EQ(List().Get(window_->PreviewPlayer().PlayIndex).sourceName, L"track 2");

  // What the list shows first is what the run renames first.
  wchar_t shown[64] = {};
  ListView_GetItemText(window_->ListView(), 0, 2, shown, 64);
  EXPECT_STREQ(shown, L"Track 10");
  std::vector<std::wstring> renamed;
  RunRenameWith(
      window_->Handle(), List(),
      [&](const std::wstring& source, const std::wstring&) {
        renamed.push_back(source.substr(source.find_last_of(L'\\') + 1));
        return RenameOutcome{false, L"test"};
      },
      [](ProgressWindow&) {});
  EXPECT_EQ(renamed, std::vector<std::wstring>(ascending.rbegin(), ascending.rend()));
  // The keys go to the list again once the report is gone.
  EXPECT_TRUE(Pump([&] { return GetFocus() == window_->ListView(); }));
}
