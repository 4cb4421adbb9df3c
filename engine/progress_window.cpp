#include "engine/progress_window.h"

#include <commctrl.h>

#include <algorithm>

#include "win/ui.h"

namespace {

constexpr const wchar_t* kClassName = L"VelnoirProgress";
constexpr int kBarId = 101;
constexpr int kCounterId = 102;
constexpr int kReportId = 103;
constexpr int kButtonId = 104;

}  // namespace

ProgressWindow::ProgressWindow(HWND owner) {
  static const bool controlsReady = [] {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
    return InitCommonControlsEx(&controls) != FALSE;
  }();
  (void)controlsReady;
  if (!CreateDialogWindow(owner, {kClassName}, L"実行中",
                          WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                          WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, 6525, 3975))
    return;
  CreateControls();
}

void ProgressWindow::CreateControls() {
  // clang-format off
  static constexpr win::ControlSpec kLayout[] = {
      {kBarId, PROGRESS_CLASSW, L"", 0, 0, {105, 105, 5370, 225}},
      {kCounterId, L"STATIC", L"000/000", SS_LEFT, 0, {5460, 105, 960, 225}},
      {kReportId, L"EDIT", L"", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
       WS_EX_CLIENTEDGE, {105, 420, 6315, 3060}},
      {kButtonId, L"BUTTON", L"キャンセル(&C)", BS_PUSHBUTTON | WS_TABSTOP, 0, {4515, 3570, 1905, 330}},
  };
  // clang-format on
  ModalDialog::CreateControls(kLayout);
  HWND window = Handle();
  bar_ = GetDlgItem(window, kBarId);
  counter_ = GetDlgItem(window, kCounterId);
  report_ = GetDlgItem(window, kReportId);
  button_ = GetDlgItem(window, kButtonId);
  SendMessageW(report_, WM_SETFONT,
               reinterpret_cast<WPARAM>(win::NamedFont(L"ＭＳ ゴシック", 9, SHIFTJIS_CHARSET)),
               FALSE);
  // A long run's report must not stop at the edit control's default limit.
  SendMessageW(report_, EM_SETLIMITTEXT, 0, 0);
}

void ProgressWindow::Start(int32_t total) {
  cancel_ = false;
  finished_ = false;
  pendingReport_.clear();
  pendingPosition_ = -1;
  lastFlush_ = {};
  flushInterval_ = {};
  BeginModal();
  SendMessageW(bar_, PBM_SETRANGE32, 0, total);
  SendMessageW(bar_, PBM_SETPOS, 0, 0);
  win::SetText(report_, L"");
  win::SetText(counter_, L"0/" + std::to_wstring(total));
  UpdateWindow(Handle());
}

void ProgressWindow::AppendReport(const std::wstring& text) { pendingReport_ += text; }

void ProgressWindow::ShowPosition(int32_t position, int32_t total) {
  pendingPosition_ = position;
  pendingTotal_ = total;
  FlushWhenDue();
}

void ProgressWindow::FlushWhenDue() {
  if (std::chrono::steady_clock::now() - lastFlush_ >= flushInterval_) Flush();
}

void ProgressWindow::Flush() {
  auto start = std::chrono::steady_clock::now();
  if (!pendingReport_.empty()) {
    // Inserting at the end never reads the report back.
    LRESULT end = SendMessageW(report_, WM_GETTEXTLENGTH, 0, 0);
    SendMessageW(report_, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageW(report_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(pendingReport_.c_str()));
    SendMessageW(report_, EM_SCROLLCARET, 0, 0);
    pendingReport_.clear();
  }
  if (pendingPosition_ >= 0) {
    win::SetText(counter_,
                 std::to_wstring(pendingPosition_) + L"/" + std::to_wstring(pendingTotal_));
    SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(pendingPosition_), 0);
    pendingPosition_ = -1;
  }
  lastFlush_ = std::chrono::steady_clock::now();
  // When a write itself gets slow, writes are spaced so that they take at
  // most a fifth of the run, yet the window never looks stuck for longer
  // than a second.
  flushInterval_ = std::clamp<std::chrono::steady_clock::duration>(
      4 * (lastFlush_ - start), std::chrono::milliseconds(100), std::chrono::seconds(1));
}

void ProgressWindow::RequestCancel() {
  cancel_ = true;
  EnableWindow(button_, FALSE);
}

void ProgressWindow::Finish() {
  Flush();
  RequestCancel();
  finished_ = true;
  EnableWindow(button_, TRUE);
  defaultButton_ = true;
  SendMessageW(button_, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  win::SetText(button_, L"閉じる(&C)");
  SetFocus(button_);
  // The end is on screen at once, not at the next pass of a message loop.
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void ProgressWindow::WaitModal() {
  if (!IsWindow(Handle())) return;
  // The window stays shown as it becomes modal: hiding it first would take
  // the final report off the screen, and under some window managers keep the
  // old one there, unpainted, for a while.
  RunModal();
}

void ProgressWindow::OnButtonClick() {
  if (cancel_) {
    CloseDialog();
  } else {
    RequestCancel();
  }
}

void ProgressWindow::OnClose() {
  // While the run goes on, the window, its report and its counters must
  // stay: closing it then only asks the run to stop.
  if (finished_) {
    CloseDialog();
  } else if (!cancel_) {
    RequestCancel();
  }
}

LRESULT ProgressWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED) {
        OnButtonClick();
        return 0;
      }
      // Enter with no default button yet, Escape: not buttons of this window.
      if (LOWORD(wParam) == IDOK && defaultButton_ && IsWindowEnabled(button_)) {
        OnButtonClick();
        return 0;
      }
      break;
    case DM_GETDEFID: return defaultButton_ ? MAKELRESULT(kButtonId, DC_HASDEFID) : 0;
    case WM_CTLCOLORSTATIC:
      // The read-only report keeps a white background like an ordinary text box.
      if (reinterpret_cast<HWND>(lParam) == report_) {
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      break;
    case WM_CLOSE: OnClose(); return 0;
  }
  return DefaultHandling(message, wParam, lParam);
}
