// The window base and the combo box helper: the object behind a window
// gets its messages from creation to the end and none after it goes, a
// dialog-box class gets a dialog's default handling, and a watched control
// reports its own messages to its window.
#include "win/window.h"

#include <gtest/gtest.h>

#include <vector>

#include "win/ui.h"

namespace {

constexpr UINT kObjectGone = 0xFFFF;

class Recorder : public win::Window {
 public:
  Recorder() : log_(&messages) {}
  explicit Recorder(std::vector<UINT>& log) : log_(&log) {}
  ~Recorder() override { log_->push_back(kObjectGone); }

  HWND Open(bool dialogKeyboard, const wchar_t* className) {
    win::WindowClass windowClass{className};
    windowClass.dialogKeyboard = dialogKeyboard;
    HWND window = Create(windowClass, L"recorder", WS_POPUP, 0, nullptr, nullptr, 0, 0, 200, 100);
    if (window) {
      combo_ =
          win::CreateControl(window, L"COMBOBOX", L"", CBS_DROPDOWNLIST, 0, 7, {0, 0, 1500, 1500});
    }
    return window;
  }
  void Watch() { WatchControl(combo_); }
  HWND Combo() const { return combo_; }

  std::vector<UINT> messages;
  std::vector<UINT> controlMessages;
  bool gone = false;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    log_->push_back(message);
    return DefaultHandling(message, wParam, lParam);
  }
  LRESULT HandleControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) override {
    if (control == combo_) controlMessages.push_back(message);
    return DefaultControlHandling(control, message, wParam, lParam);
  }
  void WindowGone() override { gone = true; }

  std::vector<UINT>* log_;
  HWND combo_ = nullptr;
};

bool Has(const std::vector<UINT>& messages, UINT message) {
  for (UINT m : messages)
    if (m == message) return true;
  return false;
}

TEST(WindowBase, TheObjectSeesCreationToTheEndAndTheHandleIsClearedAfter) {
  Recorder recorder;
  HWND window = recorder.Open(false, L"VelnoirTestPlain");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(recorder.Handle(), window);
  EXPECT_TRUE(Has(recorder.messages, WM_NCCREATE));
  EXPECT_TRUE(Has(recorder.messages, WM_CREATE));
  DestroyWindow(window);
  EXPECT_TRUE(Has(recorder.messages, WM_DESTROY));
  EXPECT_TRUE(Has(recorder.messages, WM_NCDESTROY));
  EXPECT_TRUE(recorder.gone);
  EXPECT_EQ(recorder.Handle(), nullptr);
}

TEST(WindowBase, AnObjectThatGoesFirstTakesItsWindowAndHearsNothingMore) {
  std::vector<UINT> log;
  HWND window = nullptr;
  {
    Recorder recorder(log);
    window = recorder.Open(false, L"VelnoirTestPlain");
    ASSERT_NE(window, nullptr);
    recorder.Watch();
    SetFocus(recorder.Combo());
  }
  EXPECT_FALSE(IsWindow(window));
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), kObjectGone);
}

TEST(WindowBase, ADialogBoxClassGetsTheDialogDefaults) {
  Recorder plain, dialog;
  HWND plainWindow = plain.Open(false, L"VelnoirTestPlain");
  HWND dialogWindow = dialog.Open(true, L"VelnoirTestDialog");
  ASSERT_NE(plainWindow, nullptr);
  ASSERT_NE(dialogWindow, nullptr);
  EXPECT_GE(GetClassLongPtrW(dialogWindow, GCL_CBWNDEXTRA), DLGWINDOWEXTRA);
  EXPECT_EQ(GetClassLongPtrW(plainWindow, GCL_CBWNDEXTRA), 0);
  // The default button id is kept by DefDlgProc; the window default keeps none.
  SendMessageW(dialogWindow, DM_SETDEFID, 42, 0);
  EXPECT_EQ(LOWORD(SendMessageW(dialogWindow, DM_GETDEFID, 0, 0)), 42);
  SendMessageW(plainWindow, DM_SETDEFID, 42, 0);
  EXPECT_EQ(SendMessageW(plainWindow, DM_GETDEFID, 0, 0), 0);
}

TEST(WindowBase, AWatchedControlReportsItsOwnMessagesUntilItGoes) {
  Recorder recorder;
  ASSERT_NE(recorder.Open(false, L"VelnoirTestPlain"), nullptr);
  SendMessageW(recorder.Combo(), WM_KEYUP, VK_SHIFT, 0xC0000001);
  EXPECT_FALSE(Has(recorder.controlMessages, WM_KEYUP));
  recorder.Watch();
  SendMessageW(recorder.Combo(), WM_KEYUP, VK_SHIFT, 0xC0000001);
  EXPECT_TRUE(Has(recorder.controlMessages, WM_KEYUP));
  // The control still does its own work behind the watch.
  SendMessageW(recorder.Combo(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Blues"));
  EXPECT_EQ(SendMessageW(recorder.Combo(), CB_GETCOUNT, 0, 0), 1);
  DestroyWindow(recorder.Combo());
  EXPECT_FALSE(IsWindow(recorder.Combo()));
}

TEST(ComboItemText, GivesTheItemAndNothingForAMissingOne) {
  Recorder recorder;
  ASSERT_NE(recorder.Open(false, L"VelnoirTestPlain"), nullptr);
  HWND combo = recorder.Combo();
  for (const wchar_t* item : {L"", L"ロック", L"A longer item, with a comma"})
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  std::vector<std::wstring> texts;
  for (int i = 0; i < 3; ++i) texts.push_back(win::ComboItemText(combo, i));
  EXPECT_EQ(texts, (std::vector<std::wstring>{L"", L"ロック", L"A longer item, with a comma"}));
  EXPECT_EQ(win::ComboItemText(combo, 3), L"");
  EXPECT_EQ(win::ComboItemText(combo, -1), L"");
}

}  // namespace
