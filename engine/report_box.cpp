#include "engine/report_box.h"

#include <windowsx.h>

#include <algorithm>
#include <memory>

#include "engine/report_layout.h"

namespace {

constexpr int kMargin = 2;  // pixels left and right of the text, as a text box keeps
enum MenuCommand : UINT { kUndo = 1, kCut, kCopy, kPaste, kDelete, kSelectAll };

// Measures with the box's font in a device context of its own, so that
// measuring never waits for a paint.
class FontMeasure {
 public:
  FontMeasure() : dc_(CreateCompatibleDC(nullptr)) {}
  ~FontMeasure() { DeleteDC(dc_); }
  FontMeasure(const FontMeasure&) = delete;
  FontMeasure& operator=(const FontMeasure&) = delete;
  void Use(HFONT font) { SelectObject(dc_, font ? font : GetStockObject(SYSTEM_FONT)); }
  int Width(char32_t c) const {
    SIZE size{};
    if (c < 0x10000) {
      INT width = 0;
      if (GetCharWidth32W(dc_, static_cast<UINT>(c), static_cast<UINT>(c), &width)) return width;
      const wchar_t one = static_cast<wchar_t>(c);
      GetTextExtentPoint32W(dc_, &one, 1, &size);
      return size.cx;
    }
    const wchar_t pair[2] = {static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)),
                             static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF))};
    GetTextExtentPoint32W(dc_, pair, 2, &size);
    return size.cx;
  }
  int RowHeight() const {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc_, &metrics);
    return std::max<int>(metrics.tmHeight, 1);
  }

 private:
  HDC dc_;
};

struct Box {
  HWND window = nullptr;
  HFONT font = nullptr;
  FontMeasure measure;
  std::unique_ptr<CharacterWidths> widths;
  std::wstring text;
  ReportLayout layout;
  int rowHeight = 16;
  size_t top = 0;     // the first row shown
  size_t anchor = 0;  // the selection runs from anchor to caret
  size_t caret = 0;
  bool focused = false;

  void UseFont(HFONT newFont) {
    font = newFont;
    measure.Use(font);
    widths = std::make_unique<CharacterWidths>([this](char32_t c) { return measure.Width(c); });
    rowHeight = measure.RowHeight();
    LayOut();
  }
  int TextWidth() const {
    RECT client{};
    GetClientRect(window, &client);
    return std::max<int>(client.right - 2 * kMargin, 1);
  }
  size_t VisibleRows() const {
    RECT client{};
    GetClientRect(window, &client);
    return std::max<size_t>(static_cast<size_t>(client.bottom / rowHeight), 1);
  }
  size_t LastTop() const {
    const size_t rows = layout.RowCount(), visible = VisibleRows();
    return rows > visible ? rows - visible : 0;
  }
  void LayOut() {
    const size_t topOffset = top < layout.RowCount() ? layout.Row(top).start : 0;
    layout.Reset(text, TextWidth(), *widths);
    top = std::min(layout.RowOf(topOffset), LastTop());
    Refresh();
  }
  void ScrollTo(size_t row) {
    top = std::min(row, LastTop());
    Refresh();
  }
  void Refresh() {
    SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL};
    info.nMax = static_cast<int>(std::max<size_t>(layout.RowCount(), 1) - 1);
    info.nPage = static_cast<UINT>(VisibleRows());
    info.nPos = static_cast<int>(top);
    SetScrollInfo(window, SB_VERT, &info, TRUE);
    InvalidateRect(window, nullptr, TRUE);
  }
  void Select(size_t from, size_t to) {
    anchor = std::min(from, text.size());
    caret = std::min(to, text.size());
    InvalidateRect(window, nullptr, FALSE);
  }
  std::wstring Selected() const {
    const size_t a = std::min(anchor, caret), b = std::max(anchor, caret);
    return text.substr(a, b - a);
  }
  size_t OffsetAt(POINT point) {
    if (layout.RowCount() == 0) return 0;
    const long row = static_cast<long>(top) + (point.y < 0 ? -1 : point.y / rowHeight);
    if (row < 0) return 0;
    if (static_cast<size_t>(row) >= layout.RowCount()) return text.size();
    return OffsetAtX(text, layout.Row(static_cast<size_t>(row)), point.x - kMargin, *widths);
  }
};

Box* BoxOf(HWND window) { return reinterpret_cast<Box*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

void CopyToClipboard(HWND window, const std::wstring& text) {
  if (text.empty() || !OpenClipboard(window)) return;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    if (void* data = GlobalLock(memory)) {
      memcpy(data, text.c_str(), bytes);
      GlobalUnlock(memory);
      if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    } else {
      GlobalFree(memory);
    }
  }
  CloseClipboard();
}

void DrawSegment(HDC dc, int& x, int y, const std::wstring& text, size_t from, size_t to,
                 bool selected) {
  if (from >= to) return;
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const int length = static_cast<int>(to - from);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str() + from, length, &size);
  ExtTextOutW(dc, x, y, 0, nullptr, text.c_str() + from, static_cast<UINT>(length), nullptr);
  x += size.cx;
}

void Paint(Box& box) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(box.window, &paint);
  FillRect(dc, &paint.rcPaint, GetSysColorBrush(COLOR_WINDOW));
  HGDIOBJ oldFont = SelectObject(dc, box.font ? box.font : GetStockObject(SYSTEM_FONT));
  SetBkMode(dc, OPAQUE);
  const size_t selFrom = box.focused ? std::min(box.anchor, box.caret) : 0;
  const size_t selTo = box.focused ? std::max(box.anchor, box.caret) : 0;
  const size_t end = std::min(box.layout.RowCount(), box.top + box.VisibleRows() + 1);
  for (size_t i = box.top; i < end; ++i) {
    const ReportRow& row = box.layout.Row(i);
    const int y = static_cast<int>(i - box.top) * box.rowHeight;
    if (y > paint.rcPaint.bottom) break;
    if (y + box.rowHeight < paint.rcPaint.top) continue;
    const size_t a = row.start, b = row.start + row.length;
    const size_t s = std::clamp(selFrom, a, b), t = std::clamp(selTo, a, b);
    int x = kMargin;
    DrawSegment(dc, x, y, box.text, a, s, false);
    DrawSegment(dc, x, y, box.text, s, t, true);
    DrawSegment(dc, x, y, box.text, t, b, false);
  }
  SelectObject(dc, oldFont);
  EndPaint(box.window, &paint);
}

void ShowMenu(Box& box, LPARAM lParam) {
  POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  if (at.x == -1 && at.y == -1) {
    at = {kMargin, 0};
    ClientToScreen(box.window, &at);
  }
  HMENU menu = CreatePopupMenu();
  const UINT copy = box.anchor != box.caret ? MF_ENABLED : MF_GRAYED;
  // A read-only text box's menu: the editing commands are there, unavailable.
  AppendMenuW(menu, MF_GRAYED, kUndo, L"元に戻す(&U)");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_GRAYED, kCut, L"切り取り(&T)");
  AppendMenuW(menu, copy, kCopy, L"コピー(&C)");
  AppendMenuW(menu, MF_GRAYED, kPaste, L"貼り付け(&P)");
  AppendMenuW(menu, MF_GRAYED, kDelete, L"削除(&D)");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, box.text.empty() ? MF_GRAYED : MF_ENABLED, kSelectAll, L"すべて選択(&A)");
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, box.window, nullptr));
  DestroyMenu(menu);
  if (chosen == kCopy) CopyToClipboard(box.window, box.Selected());
  if (chosen == kSelectAll) box.Select(0, box.text.size());
}

bool HandleKey(Box& box, WPARAM key) {
  const bool control = GetKeyState(VK_CONTROL) < 0;
  const size_t page = std::max<size_t>(box.VisibleRows() - 1, 1);
  switch (key) {
    case VK_UP: box.ScrollTo(box.top > 0 ? box.top - 1 : 0); return true;
    case VK_DOWN: box.ScrollTo(box.top + 1); return true;
    case VK_PRIOR: box.ScrollTo(box.top > page ? box.top - page : 0); return true;
    case VK_NEXT: box.ScrollTo(box.top + page); return true;
    case VK_HOME: box.ScrollTo(0); return true;
    case VK_END: box.ScrollTo(box.LastTop()); return true;
    case VK_INSERT:
      if (control) CopyToClipboard(box.window, box.Selected());
      return control;
    case 'A':
      if (control) box.Select(0, box.text.size());
      return control;
    case 'C':
      if (control) CopyToClipboard(box.window, box.Selected());
      return control;
  }
  return false;
}

void HandleScroll(Box& box, WPARAM request) {
  SCROLLINFO info{sizeof(info), SIF_ALL};
  GetScrollInfo(box.window, SB_VERT, &info);
  const size_t page = std::max<size_t>(box.VisibleRows() - 1, 1);
  switch (LOWORD(request)) {
    case SB_LINEUP: box.ScrollTo(box.top > 0 ? box.top - 1 : 0); break;
    case SB_LINEDOWN: box.ScrollTo(box.top + 1); break;
    case SB_PAGEUP: box.ScrollTo(box.top > page ? box.top - page : 0); break;
    case SB_PAGEDOWN: box.ScrollTo(box.top + page); break;
    case SB_TOP: box.ScrollTo(0); break;
    case SB_BOTTOM: box.ScrollTo(box.LastTop()); break;
    // The tracking position is whole 32 bits, unlike the message's 16.
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: box.ScrollTo(static_cast<size_t>(std::max(info.nTrackPos, 0))); break;
  }
}

LRESULT HandleText(Box& box, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETTEXT:
      box.text = lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"";
      box.top = 0;
      box.Select(0, 0);
      box.LayOut();
      return TRUE;
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(box.text.size());
    case WM_GETTEXT: {
      if (wParam == 0 || !lParam) return 0;
      const size_t n = std::min(box.text.size(), static_cast<size_t>(wParam) - 1);
      auto* out = reinterpret_cast<wchar_t*>(lParam);
      std::copy_n(box.text.c_str(), n, out);
      out[n] = L'\0';
      return static_cast<LRESULT>(n);
    }
    case EM_GETSEL:
      if (wParam)
        *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(std::min(box.anchor, box.caret));
      if (lParam)
        *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(std::max(box.anchor, box.caret));
      return MAKELRESULT(std::min(box.anchor, box.caret), std::max(box.anchor, box.caret));
    case EM_SETSEL: {
      const auto from = static_cast<long>(wParam), to = static_cast<long>(lParam);
      const size_t end = box.text.size();
      box.Select(from < 0 ? end : static_cast<size_t>(from),
                 to < 0 ? end : static_cast<size_t>(to));
      return TRUE;
    }
    case EM_GETLINECOUNT: return static_cast<LRESULT>(std::max<size_t>(box.layout.RowCount(), 1));
    case EM_GETFIRSTVISIBLELINE: return static_cast<LRESULT>(box.top);
    case WM_COPY: CopyToClipboard(box.window, box.Selected()); return 0;
  }
  return -1;
}

LRESULT HandleMouse(Box& box, UINT message, WPARAM wParam, LPARAM lParam) {
  POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (message) {
    case WM_LBUTTONDOWN: {
      SetFocus(box.window);
      SetCapture(box.window);
      const size_t at = box.OffsetAt(point);
      box.Select(wParam & MK_SHIFT ? box.anchor : at, at);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (GetCapture() != box.window) return 0;
      if (point.y < 0 && box.top > 0) box.ScrollTo(box.top - 1);
      if (point.y >= static_cast<long>(box.VisibleRows()) * box.rowHeight)
        box.ScrollTo(box.top + 1);
      box.Select(box.anchor, box.OffsetAt(point));
      return 0;
    case WM_LBUTTONUP: ReleaseCapture(); return 0;
    case WM_MOUSEWHEEL: {
      const int rows = -GET_WHEEL_DELTA_WPARAM(wParam) * 3 / WHEEL_DELTA;
      box.ScrollTo(rows < 0 && static_cast<size_t>(-rows) > box.top ? 0 : box.top + rows);
      return 0;
    }
  }
  return -1;
}

LRESULT CALLBACK BoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* box = new Box;
    box->window = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(box));
    box->UseFont(nullptr);
    return DefWindowProcW(window, message, wParam, lParam);
  }
  Box* box = BoxOf(window);
  if (!box) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    delete box;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  if (LRESULT r = HandleText(*box, message, wParam, lParam); r != -1) return r;
  if (LRESULT r = HandleMouse(*box, message, wParam, lParam); r != -1) return r;
  switch (message) {
    case WM_CREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      if (create->lpszName && *create->lpszName)
        HandleText(*box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(create->lpszName));
      return 0;
    }
    case WM_SETFONT:
      box->UseFont(reinterpret_cast<HFONT>(wParam));
      if (LOWORD(lParam)) InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(box->font);
    case WM_SIZE: box->LayOut(); return 0;
    case WM_PAINT: Paint(*box); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_VSCROLL: HandleScroll(*box, wParam); return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      box->focused = message == WM_SETFOCUS;
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
    case WM_KEYDOWN:
      if (HandleKey(*box, wParam)) return 0;
      break;
    case WM_CONTEXTMENU: ShowMenu(*box, lParam); return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool RegisterReportBoxClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc{sizeof(wc)};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = BoxProcedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
    wc.lpszClassName = kReportBoxClass;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

void AppendToReportBox(HWND box, const std::wstring& more) {
  Box* state = BoxOf(box);
  if (!state || more.empty()) return;
  state->text += more;
  state->layout.Extend(state->text, *state->widths);
  // The newest lines are in view, as with the caret put at the end.
  state->top = state->LastTop();
  state->Refresh();
}
