// The rename run end to end: real files, the list view the main window
// uses, the progress window and its modal wait.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "app/list/rename_list_view.h"
#include "engine/progress_window.h"
#include "engine/rename_entry.h"
#include "engine/rename_run.h"
#include "tests/engine/list_view_host.h"
#include "tests/engine/win_support.h"
#include "tests/support/ui_driver.h"
#include "win/ui.h"
#include "tests/support/run_adapters.h"

using engine_test::Exists;
using engine_test::ListViewHost;
using engine_test::ReadBytes;
using engine_test::ScratchFolder;
using engine_test::WriteBytes;

namespace {

struct WindowState {
  std::wstring report, count, button;
  int bar = -1, barMax = -1;
  bool buttonEnabled = false, isDefault = false, mainEnabled = true;
};

WindowState Capture(ProgressWindow& w, HWND main) {
  WindowState s;
  s.report = win::GetText(w.Report());
  s.count = win::GetText(w.Counter());
  s.button = win::GetText(w.CancelOrCloseButton());
  s.bar = static_cast<int>(SendMessageW(w.Bar(), PBM_GETPOS, 0, 0));
  s.barMax = static_cast<int>(SendMessageW(w.Bar(), PBM_GETRANGE, FALSE, 0));
  s.buttonEnabled = IsWindowEnabled(w.CancelOrCloseButton());
  s.isDefault = (GetWindowLongW(w.CancelOrCloseButton(), GWL_STYLE) & BS_DEFPUSHBUTTON) != 0;
  s.mainEnabled = IsWindowEnabled(main);
  return s;
}

}  // namespace

class RenameRunTest : public testing::Test {
 protected:
  ListViewHost host;
  ScratchFolder dir;
  void Add(const std::wstring& source, const std::wstring& target) {
    host.list->Append({source, target, L"", L""});
  }
  std::wstring File(const std::wstring& name, const std::string& content) {
    WriteBytes(dir / name, content);
    return dir / name;
  }
};

TEST_F(RenameRunTest, RunsTheListReportsAndKeepsTheFailures) {
  std::wstring a = File(L"a.mp3", "A"), b = File(L"b.mp3", "B"), c = File(L"c.mp3", "C"),
               d = File(L"d.mp3", "D"), taken = File(L"taken.mp3", "T");
  std::wstring missing = dir / L"missing.mp3";
  Add(a, dir / L"表ソ A.mp3");
  Add(missing, dir / L"x.mp3");
  Add(b, taken);
  Add(c, dir / L"C2.mp3");
  Add(d, L"");
  WindowState state;
  RunRenameWith(host.window, *host.list, ExecRenameFile, [&](ProgressWindow& w) {
    state = Capture(w, host.window);
    EXPECT_FALSE(Exists(a));
    PostMessageW(w.CancelOrCloseButton(), BM_CLICK, 0, 0);
    w.WaitModal();
    EXPECT_FALSE(IsWindow(w.Handle()));
  });
  EXPECT_EQ(state.report, L"○ " + a + L"\r\n -> " + dir / L"表ソ A.mp3" + L"\r\n\r\n" + L"× " +
                              missing + L"\r\n -> 入力ファイルが存在しません。\r\n\r\n" + L"× " +
                              b + L"\r\n -> ファイル名が重複しています。\r\n\r\n" + L"○ " + c +
                              L"\r\n -> " + dir / L"C2.mp3" + L"\r\n\r\n" + L"× " + d +
                              L"\r\n -> リネーム後ファイル名がありません。\r\n\r\n" +
                              L"総ファイル数　：5\r\n成功ファイル数：2\r\n失敗ファイル数：3\r\n");
  EXPECT_EQ(state.count, L"5/5");
  EXPECT_EQ(state.bar, 5);
  EXPECT_EQ(state.barMax, 5);
  EXPECT_EQ(state.button, L"閉じる(&C)");
  EXPECT_TRUE(state.buttonEnabled);
  EXPECT_TRUE(state.isDefault);
  EXPECT_FALSE(state.mainEnabled);  // still waiting, modal over the main window
  EXPECT_TRUE(IsWindowEnabled(host.window));
  ASSERT_EQ(host.list->Count(), 3);
  EXPECT_EQ(host.list->Get(1).source, missing);
  EXPECT_EQ(host.list->Get(2).source, b);
  EXPECT_EQ(host.list->Get(3).source, d);
  EXPECT_EQ(host.StatusText(), L"項目数：3");
  EXPECT_EQ(ReadBytes(dir / L"表ソ A.mp3"), "A");
  EXPECT_EQ(ReadBytes(dir / L"C2.mp3"), "C");
  EXPECT_EQ(ReadBytes(taken), "T");
  EXPECT_EQ(ReadBytes(b), "B");
}

TEST_F(RenameRunTest, AllRenamedEmptiesTheList) {
  for (int i = 0; i < 4; ++i)
    Add(File(L"s" + std::to_wstring(i) + L".mp3", "x"),
        dir / (L"t" + std::to_wstring(i) + L".mp3"));
  RunRenameWith(host.window, *host.list, ExecRenameFile, [](ProgressWindow& w) {
    EXPECT_NE(win::GetText(w.Report())
                  .find(L"総ファイル数　：4\r\n成功ファイル数：4\r\n失敗ファイル数：0\r\n"),
              std::wstring::npos);
    SendMessageW(w.Handle(), WM_CLOSE, 0, 0);  // the close box after the run closes it
    w.WaitModal();
  });
  EXPECT_EQ(host.list->Count(), 0);
  EXPECT_EQ(host.StatusText(), L"項目数：0");
}

TEST_F(RenameRunTest, TwoEntriesWithOneTarget) {
  std::wstring a = File(L"a.mp3", "A"), b = File(L"b.mp3", "B");
  Add(a, dir / L"same.mp3");
  Add(b, dir / L"same.mp3");
  std::wstring report;
  RunRenameWith(host.window, *host.list, ExecRenameFile,
                [&](ProgressWindow& w) { report = win::GetText(w.Report()); });
  EXPECT_EQ(report.substr(0, report.find(L"総")),
            L"○ " + a + L"\r\n -> " + dir / L"same.mp3" + L"\r\n\r\n× " + b +
                L"\r\n -> ファイル名が重複しています。\r\n\r\n");
  ASSERT_EQ(host.list->Count(), 1);
  EXPECT_EQ(host.list->Get(1).source, b);
}

TEST_F(RenameRunTest, CancelAfterEntryKEndsAfterEntryKPlus1) {
  for (int i = 1; i <= 6; ++i)
    Add(File(std::to_wstring(i) + L".mp3", "x"), dir / (L"r" + std::to_wstring(i) + L".mp3"));
  int calls = 0;
  auto rename = [&](const std::wstring& s, const std::wstring& t) {
    // The click is taken while entry 2 is processed: entry 3 is the last.
    if (++calls == 2) ui_driver::ClickProgressButton();
    return ExecRenameFile(s, t);
  };
  WindowState state;
  RunRenameWith(host.window, *host.list, rename,
                [&](ProgressWindow& w) { state = Capture(w, host.window); });
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(state.count, L"3/6");
  EXPECT_NE(state.report.find(L"総ファイル数　：6\r\n成功ファイル数：3\r\n失敗ファイル数：0\r\n"),
            std::wstring::npos);
  ASSERT_EQ(host.list->Count(), 3);
  EXPECT_EQ(host.list->Get(1).source, dir / L"4.mp3");
  EXPECT_EQ(host.list->Get(3).source, dir / L"6.mp3");
  EXPECT_TRUE(Exists(dir / L"4.mp3"));
}

TEST_F(RenameRunTest, CloseBoxDuringTheRunIsACancelRequest) {
  for (int i = 1; i <= 5; ++i)
    Add(File(std::to_wstring(i) + L".mp3", "x"), dir / (L"r" + std::to_wstring(i) + L".mp3"));
  int calls = 0;
  bool windowStayed = true;
  auto rename = [&](const std::wstring& s, const std::wstring& t) {
    ++calls;
    if (calls == 1) SendMessageW(ui_driver::FindProgressWindow(), WM_CLOSE, 0, 0);
    if (calls == 2) {
      windowStayed = ui_driver::FindProgressWindow() != nullptr;
      // The button shows that the cancel was taken.
      windowStayed =
          windowStayed && !IsWindowEnabled(GetDlgItem(ui_driver::FindProgressWindow(), 104));
    }
    return ExecRenameFile(s, t);
  };
  WindowState state;
  RunRenameWith(host.window, *host.list, rename, [&](ProgressWindow& w) {
    state = Capture(w, host.window);
    PostMessageW(w.Handle(), WM_CLOSE, 0, 0);
    w.WaitModal();
  });
  EXPECT_EQ(calls, 2);
  EXPECT_TRUE(windowStayed);
  EXPECT_EQ(state.button, L"閉じる(&C)");
  EXPECT_TRUE(state.buttonEnabled);
  EXPECT_NE(state.report.find(L"総ファイル数　：5\r\n成功ファイル数：2\r\n"), std::wstring::npos);
  EXPECT_EQ(host.list->Count(), 3);
  EXPECT_EQ(ui_driver::FindProgressWindow(), nullptr);
}

TEST_F(RenameRunTest, ProgressShowsWhileTheRunGoesOn) {
  for (int i = 1; i <= 3; ++i) Add(dir / (std::to_wstring(i) + L".mp3"), L"");
  std::wstring countSeen, reportSeen;
  auto rename = [&](const std::wstring& s, const std::wstring& t) {
    // An entry slower than the longest update interval is shown when done.
    if (s == dir / L"2.mp3") Sleep(1100);
    if (s == dir / L"3.mp3") {
      HWND progress = ui_driver::FindProgressWindow();
      countSeen = win::GetText(GetDlgItem(progress, 102));
      reportSeen = win::GetText(GetDlgItem(progress, 103));
    }
    return ExecRenameFile(s, t);
  };
  RunRenameWith(host.window, *host.list, rename, [](ProgressWindow&) {});
  EXPECT_EQ(countSeen, L"2/3");
  EXPECT_NE(reportSeen.find(L"× " + dir / L"2.mp3" + L"\r\n -> 入力ファイルが存在しません。\r\n"),
            std::wstring::npos)
      << "the report holds the entries processed so far";
  EXPECT_EQ(reportSeen.find(L"総"), std::wstring::npos);
}

TEST_F(RenameRunTest, EmptyListOpensNoWindow) {
  bool waited = false;
  RunRenameWith(host.window, *host.list, ExecRenameFile, [&](ProgressWindow&) { waited = true; });
  RunRename(host.window, *host.list, {});
  EXPECT_FALSE(waited);
  EXPECT_EQ(ui_driver::FindProgressWindow(), nullptr);
  EXPECT_TRUE(IsWindowEnabled(host.window));
}

TEST_F(RenameRunTest, LongReportHoldsTheWholeReportByteForByte) {
  const int n = 5000;
  std::wstring expected;
  {
    // As files are added in the program: one window update for all of them.
    RenameListUpdate update(*host.list);
    for (int i = 1; i <= n; ++i) {
      const std::wstring source = L"C:\\楽曲\\" + std::to_wstring(i) + L".mp3";
      Add(source, L"t");
      expected += i % 3 == 0 ? L"○ " + source + L"\r\n -> t\r\n\r\n"
                             : L"× " + source + L"\r\n -> ファイル名が重複しています。\r\n\r\n";
    }
  }
  expected += L"総ファイル数　：5000\r\n成功ファイル数：1666\r\n失敗ファイル数：3334\r\n";
  auto rename = [](const std::wstring& s, const std::wstring&) {
    int k = std::stoi(s.substr(6));
    return k % 3 == 0 ? RenameOutcome{true, L"t"}
                      : RenameOutcome{false, L"ファイル名が重複しています。"};
  };
  WindowState state;
  LRESULT firstShown = 0, rows = 0;
  RunRenameWith(host.window, *host.list, rename, [&](ProgressWindow& w) {
    state = Capture(w, host.window);
    firstShown = SendMessageW(w.Report(), EM_GETFIRSTVISIBLELINE, 0, 0);
    rows = SendMessageW(w.Report(), EM_GETLINECOUNT, 0, 0);
  });
  EXPECT_EQ(state.count, L"5000/5000");
  EXPECT_EQ(state.bar, n);
  EXPECT_TRUE(state.report == expected)
      << "the report differs from its expected " << expected.size() << " characters";
  EXPECT_GT(firstShown, rows - 30) << "the newest lines are in view";
  EXPECT_EQ(host.list->Count(), 3334);
  EXPECT_EQ(host.list->Get(3334).source, L"C:\\楽曲\\5000.mp3");
  EXPECT_EQ(host.StatusText(), L"項目数：3334");
}

TEST(ReportBoxTest, SelectsAndCopiesLikeAReadOnlyTextBox) {
  ListViewHost host;
  ProgressWindow progress(host.window);
  progress.Start(1);
  std::wstring text;
  for (int i = 0; i < 200; ++i) text += L"○ D:\\音楽\\" + std::to_wstring(i) + L".mp3\r\n";
  progress.AppendReport(text);
  progress.Finish();
  HWND box = progress.Report();
  EXPECT_EQ(win::GetText(box), text);
  // Scrolled to the top, a drag from the first character over a few rows
  // selects from there.
  SendMessageW(box, WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
  SendMessageW(box, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 40));
  SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(200, 40));
  DWORD from = 1, to = 0;
  SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 0u);
  EXPECT_GT(to, 10u);
  // Ctrl+A and Ctrl+C put the whole report on the clipboard.
  SetFocus(box);
  BYTE keys[256] = {}, held[256] = {};
  GetKeyboardState(keys);
  std::copy(std::begin(keys), std::end(keys), held);
  held[VK_CONTROL] = 0x80;
  SetKeyboardState(held);
  ui_driver::PressAndRelease(progress.Handle(), box, 'A');
  ui_driver::PressAndRelease(progress.Handle(), box, 'C');
  SetKeyboardState(keys);
  ASSERT_TRUE(OpenClipboard(host.window));
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  std::wstring copied = data ? static_cast<const wchar_t*>(GlobalLock(data)) : L"";
  if (data) GlobalUnlock(data);
  CloseClipboard();
  EXPECT_EQ(copied, text);
}

TEST(ProgressWindowTest, CounterAndBarGoPast16Bits) {
  ListViewHost host;
  ProgressWindow progress(host.window);
  progress.Start(100000);
  progress.ShowPosition(99999, 100000);
  progress.Finish();
  WindowState state = Capture(progress, host.window);
  EXPECT_EQ(state.count, L"99999/100000");
  EXPECT_EQ(state.bar, 99999);
  EXPECT_EQ(state.barMax, 100000);
  // The counter shows "100000/100000" whole: it has grown to the left, and
  // the bar ends where it starts.
  HWND counter = progress.Counter();
  HDC dc = GetDC(counter);
  SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(counter, WM_GETFONT, 0, 0)));
  SIZE widest{};
  GetTextExtentPoint32W(dc, L"100000/100000", 13, &widest);
  ReleaseDC(counter, dc);
  RECT label{}, bar{};
  GetWindowRect(counter, &label);
  GetWindowRect(progress.Bar(), &bar);
  EXPECT_GE(label.right - label.left, widest.cx);
  EXPECT_LE(bar.right, label.left);
}
