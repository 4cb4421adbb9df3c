#include "engine/progress_window.h"

#include <commctrl.h>

#include <algorithm>

#include "win/ui.h"

namespace {

constexpr const wchar_t* kClassName = L"VelnoirProgress";
constexpr int kPB = 101;
constexpr int kLblNum = 102;
constexpr int kTxtInfomation = 103;
constexpr int kCmdCancel = 104;

void RegisterOnce() {
  static bool registered = [] {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;  // replaced per window in the constructor
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
  }();
  (void)registered;
}

}  // namespace

ProgressWindow::ProgressWindow(HWND owner) : owner_(owner) {
  RegisterOnce();
  window_ = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kClassName, L"実行中",
                            WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, 0, 0, 100, 100,
                            owner, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window_) return;
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc));
  win::PlaceCentred(window_, owner, 6525, 3975);

  PB_ = win::CreateControl(window_, PROGRESS_CLASSW, L"", 0, 0, kPB, {105, 105, 5370, 225});
  lblNum_ = win::CreateControl(window_, L"STATIC", L"000/000", SS_LEFT, 0, kLblNum,
                               {5460, 105, 960, 225});
  txtInfomation_ = win::CreateControl(
      window_, L"EDIT", L"", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
      WS_EX_CLIENTEDGE, kTxtInfomation, {105, 420, 6315, 3060});
  SendMessageW(txtInfomation_, WM_SETFONT,
               reinterpret_cast<WPARAM>(win::NamedFont(L"ＭＳ ゴシック", 9, SHIFTJIS_CHARSET)),
               FALSE);
  // A long run's report must not stop at the edit control's default limit.
  SendMessageW(txtInfomation_, EM_SETLIMITTEXT, 0, 0);
  cmdCancel_ = win::CreateControl(window_, L"BUTTON", L"キャンセル(&C)",
                                  BS_PUSHBUTTON | WS_TABSTOP, 0, kCmdCancel,
                                  {4515, 3570, 1905, 330});
}

ProgressWindow::~ProgressWindow() {
  if (window_ && IsWindow(window_)) DestroyWindow(window_);
}

void ProgressWindow::Start(int32_t total) {
  cancel_ = false;
  finished_ = false;
  pendingReport_.clear();
  pendingPosition_ = -1;
  lastFlush_ = {};
  flushInterval_ = {};
  ShowWindow(window_, SW_SHOWNORMAL);
  SendMessageW(PB_, PBM_SETRANGE32, 0, total);
  SendMessageW(PB_, PBM_SETPOS, 0, 0);
  win::SetText(txtInfomation_, L"");
  win::SetText(lblNum_, L"0/" + std::to_wstring(total));
  UpdateWindow(window_);
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
    LRESULT end = SendMessageW(txtInfomation_, WM_GETTEXTLENGTH, 0, 0);
    SendMessageW(txtInfomation_, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageW(txtInfomation_, EM_REPLACESEL, FALSE,
                 reinterpret_cast<LPARAM>(pendingReport_.c_str()));
    SendMessageW(txtInfomation_, EM_SCROLLCARET, 0, 0);
    pendingReport_.clear();
  }
  if (pendingPosition_ >= 0) {
    win::SetText(lblNum_, std::to_wstring(pendingPosition_) + L"/" + std::to_wstring(pendingTotal_));
    SendMessageW(PB_, PBM_SETPOS, static_cast<WPARAM>(pendingPosition_), 0);
    pendingPosition_ = -1;
  }
  lastFlush_ = std::chrono::steady_clock::now();
  // When a write itself gets slow, writes are spaced so that they take at
  // most a fifth of the run, yet the window never looks stuck for longer
  // than a second.
  flushInterval_ = std::clamp<std::chrono::steady_clock::duration>(
      4 * (lastFlush_ - start), std::chrono::milliseconds(100), std::chrono::seconds(1));
}

void ProgressWindow::exeCancel() {
  cancel_ = true;
  EnableWindow(cmdCancel_, FALSE);
}

void ProgressWindow::Finish() {
  Flush();
  exeCancel();
  finished_ = true;
  EnableWindow(cmdCancel_, TRUE);
  defaultButton_ = true;
  SendMessageW(cmdCancel_, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  win::SetText(cmdCancel_, L"閉じる(&C)");
  SetFocus(cmdCancel_);
  // The end is on screen at once, not at the next pass of a message loop.
  RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void ProgressWindow::WaitModal() {
  if (!IsWindow(window_)) return;
  // The window stays shown as it becomes modal: hiding it first would take
  // the final report off the screen, and under some window managers keep the
  // old one there, unpainted, for a while.
  win::RunModal(window_, owner_);
  // A quit message ends the modal loop with the window still there.
  if (IsWindow(window_)) DestroyWindow(window_);
}

void ProgressWindow::cmdCancel_Click() {
  if (cancel_) {
    DestroyWindow(window_);
  } else {
    exeCancel();
  }
}

void ProgressWindow::Form_QueryUnload() {
  // While the run goes on, the window, its report and its counters must
  // stay: closing it then only asks the run to stop.
  if (finished_) {
    DestroyWindow(window_);
  } else if (!cancel_) {
    exeCancel();
  }
}

LRESULT CALLBACK ProgressWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  LRESULT result = 0;
  if (self->Handle(message, wParam, lParam, result)) return result;
  return DefWindowProcW(window, message, wParam, lParam);
}

bool ProgressWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kCmdCancel && HIWORD(wParam) == BN_CLICKED) {
        cmdCancel_Click();
        return true;
      }
      // Enter with no default button yet, Escape: not buttons of this window.
      if (LOWORD(wParam) == IDOK && defaultButton_ && IsWindowEnabled(cmdCancel_)) {
        cmdCancel_Click();
        return true;
      }
      break;
    case DM_GETDEFID:
      result = defaultButton_ ? MAKELRESULT(kCmdCancel, DC_HASDEFID) : 0;
      return true;
    case WM_CTLCOLORSTATIC:
      // The read-only report keeps a white background like an ordinary text box.
      if (reinterpret_cast<HWND>(lParam) == txtInfomation_) {
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
        result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        return true;
      }
      break;
    case WM_CLOSE:
      Form_QueryUnload();
      return true;
    case WM_DESTROY:
      SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
      window_ = nullptr;
      break;
  }
  return false;
}
