#include "engine/progress_window.h"

#include <commctrl.h>

#include <algorithm>

#include "engine/report_box.h"
#include "win/ui.h"

namespace {

constexpr const wchar_t* kClassName = L"VelnoirProgress";
constexpr int kBarId = 101;
constexpr int kCounterId = 102;
constexpr int kReportId = 103;
constexpr int kButtonId = 104;
// Sent from the run's worker thread: take its lines, or run a function.
constexpr UINT kTakeMessage = WM_APP + 1;
constexpr UINT kInvokeMessage = WM_APP + 2;

}  // namespace

ProgressWindow::ProgressWindow(HWND owner) {
  static const bool controlsReady = [] {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
    return InitCommonControlsEx(&controls) != FALSE;
  }();
  (void)controlsReady;
  RegisterReportBoxClass();
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
      {kReportId, kReportBoxClass, L"", WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, {105, 420, 6315, 3060}},
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
}

void ProgressWindow::Start(int32_t total) {
  cancel_ = false;
  finished_ = false;
  {
    std::lock_guard<std::mutex> lock(inboxMutex_);
    inboxReport_.clear();
    inboxPosition_ = -1;
  }
  pendingReport_.clear();
  pendingPosition_ = -1;
  lastFlush_ = {};
  flushInterval_ = {};
  BeginModal();
  SendMessageW(bar_, PBM_SETRANGE32, 0, total);
  SendMessageW(bar_, PBM_SETPOS, 0, 0);
  win::SetText(report_, L"");
  FitCounter(std::to_wstring(total) + L"/" + std::to_wstring(total));
  win::SetText(counter_, L"0/" + std::to_wstring(total));
  UpdateWindow(Handle());
}

void ProgressWindow::FitCounter(const std::wstring& widest) {
  RECT label{}, bar{};
  GetWindowRect(counter_, &label);
  GetWindowRect(bar_, &bar);
  MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&label), 2);
  MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&bar), 2);
  HDC dc = GetDC(counter_);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(counter_, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, widest.c_str(), static_cast<int>(widest.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(counter_, dc);
  // The label keeps its right edge and grows to the left; the bar gives up
  // what the label takes.
  const int needed = size.cx + 2;
  if (needed <= label.right - label.left) return;
  const int left = std::max<int>(label.right - needed, bar.left + 1);
  MoveWindow(counter_, left, label.top, label.right - left, label.bottom - label.top, TRUE);
  MoveWindow(bar_, bar.left, bar.top, std::max<int>(left - bar.left, 1), bar.bottom - bar.top,
             TRUE);
}

void ProgressWindow::AppendReport(const std::wstring& text) { pendingReport_ += text; }

void ProgressWindow::PostFromWorker(const std::wstring& lines, int32_t position, int32_t total) {
  std::lock_guard<std::mutex> lock(inboxMutex_);
  inboxReport_ += lines;
  inboxPosition_ = position;
  inboxTotal_ = total;
}

void ProgressWindow::TakeFromWorker() {
  std::wstring lines;
  int32_t position = -1, total = 0;
  {
    std::lock_guard<std::mutex> lock(inboxMutex_);
    lines.swap(inboxReport_);
    std::swap(position, inboxPosition_);
    total = inboxTotal_;
  }
  if (!lines.empty()) AppendReport(lines);
  if (position >= 0) ShowPosition(position, total);
}

void ProgressWindow::TakeNow() { SendMessageW(Handle(), kTakeMessage, 0, 0); }

void ProgressWindow::RunOnWindowThread(const std::function<void()>& f) {
  if (GetWindowThreadProcessId(Handle(), nullptr) == GetCurrentThreadId()) {
    f();
    return;
  }
  SendMessageW(Handle(), kInvokeMessage, 0, reinterpret_cast<LPARAM>(&f));
}

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
    AppendToReportBox(report_, pendingReport_);
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
  // most a fifth of the run, yet the newest lines are shown at least four
  // times a second.
  flushInterval_ = std::clamp<std::chrono::steady_clock::duration>(
      4 * (lastFlush_ - start), std::chrono::milliseconds(100), std::chrono::milliseconds(250));
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
    case WM_CLOSE: OnClose(); return 0;
    case kTakeMessage:
      TakeFromWorker();
      Flush();
      return 0;
    case kInvokeMessage: (*reinterpret_cast<const std::function<void()>*>(lParam))(); return 0;
  }
  return DefaultHandling(message, wParam, lParam);
}
