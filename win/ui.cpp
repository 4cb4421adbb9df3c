#include "win/ui.h"

#include <commctrl.h>

#include <map>
#include <vector>

namespace win {
namespace {

int DeviceDpi(int capability) {
  HDC dc = GetDC(nullptr);
  int dpi = GetDeviceCaps(dc, capability);
  ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

int DpiX() {
  static int dpi = DeviceDpi(LOGPIXELSX);
  return dpi;
}

int DpiY() {
  static int dpi = DeviceDpi(LOGPIXELSY);
  return dpi;
}

}  // namespace

int ScreenDpi() { return DpiY(); }

int TwipsToPixelsX(int twips) { return MulDiv(twips, DpiX(), 1440); }
int TwipsToPixelsY(int twips) { return MulDiv(twips, DpiY(), 1440); }
int PixelsToTwipsX(int pixels) { return MulDiv(pixels, 1440, DpiX()); }
int PixelsToTwipsY(int pixels) { return MulDiv(pixels, 1440, DpiY()); }

HFONT NamedFont(const wchar_t* face, int points, BYTE charset) {
  static std::map<std::wstring, HFONT> fonts;
  std::wstring key =
      std::wstring(face) + L"/" + std::to_wstring(points) + L"/" + std::to_wstring(charset);
  auto it = fonts.find(key);
  if (it != fonts.end()) return it->second;
  LOGFONTW lf{};
  lf.lfHeight = -MulDiv(points, DpiY(), 72);
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = charset;
  lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
  HFONT font = CreateFontIndirectW(&lf);
  fonts[key] = font;
  return font;
}

HFONT DialogFont() {
  static HFONT font = [] {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
      return CreateFontIndirectW(&metrics.lfMessageFont);
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }();
  return font;
}

HWND CreateControl(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style,
                   DWORD exStyle, int id, TwipsRect r) {
  HWND control = CreateWindowExW(
      exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, TwipsToPixelsX(r.left),
      TwipsToPixelsY(r.top), TwipsToPixelsX(r.width), TwipsToPixelsY(r.height), parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  if (control) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), FALSE);
  return control;
}

std::wstring GetText(HWND window) {
  int n = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  n = GetWindowTextW(window, text.data(), n + 1);
  text.resize(static_cast<size_t>(n > 0 ? n : 0));
  return text;
}

void SetText(HWND window, const std::wstring& text) { SetWindowTextW(window, text.c_str()); }

std::wstring ComboItemText(HWND combo, int index) {
  LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR) return L"";
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  length = SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(text.data()));
  text.resize(length == CB_ERR ? 0 : static_cast<size_t>(length));
  return text;
}

namespace {

// Where a window of this size sits centred over owner, or over the screen's
// work area when owner is null, hidden or minimised.
POINT CentredOver(HWND owner, int width, int height) {
  RECT area;
  if (owner && IsWindowVisible(owner) && !IsIconic(owner)) {
    GetWindowRect(owner, &area);
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  return {area.left + ((area.right - area.left) - width) / 2,
          area.top + ((area.bottom - area.top) - height) / 2};
}

}  // namespace

void PlaceCentred(HWND window, HWND owner, int clientWidthTwips, int clientHeightTwips) {
  RECT r{0, 0, TwipsToPixelsX(clientWidthTwips), TwipsToPixelsY(clientHeightTwips)};
  DWORD style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
  DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
  AdjustWindowRectEx(&r, style, GetMenu(window) != nullptr, exStyle);
  int width = r.right - r.left, height = r.bottom - r.top;
  POINT at = CentredOver(owner, width, height);
  SetWindowPos(window, nullptr, at.x, at.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CentreOnWorkArea(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  POINT at = CentredOver(nullptr, r.right - r.left, r.bottom - r.top);
  SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Seam<MessageBoxFunction> g_messageBox{nullptr};

int MessageBoxText(HWND owner, const std::wstring& text, UINT flags, const wchar_t* caption) {
  if (MessageBoxFunction standIn = *g_messageBox) return standIn(owner, text, flags, caption);
  return MessageBoxW(owner, text.c_str(), caption, flags);
}

std::wstring ProgramPath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n < buffer.size()) return std::wstring(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}

std::wstring ProgramDirectory() {
  std::wstring path = ProgramPath();
  size_t slash = path.find_last_of(L'\\');
  if (slash == std::wstring::npos) return L"";
  // A drive root keeps its backslash ("C:\"): callers add one only when it is missing.
  if (slash == 2 && path.size() > 1 && path[1] == L':') return path.substr(0, 3);
  return path.substr(0, slash);
}

namespace {

std::vector<BYTE> VersionBlock() {
  std::wstring path = ProgramPath();
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  std::vector<BYTE> block(size);
  if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, block.data())) block.clear();
  return block;
}

}  // namespace

ProgramVersion GetProgramVersion() {
  ProgramVersion version;
  std::vector<BYTE> block = VersionBlock();
  if (block.empty()) return version;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length) && info) {
    version.major = HIWORD(info->dwFileVersionMS);
    version.minor = LOWORD(info->dwFileVersionMS);
    version.revision = LOWORD(info->dwFileVersionLS);
  }
  return version;
}

std::wstring GetProductName() {
  std::vector<BYTE> block = VersionBlock();
  if (block.empty()) return L"";
  struct Translation {
    WORD language, codePage;
  }* translations = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translations), &length) ||
      length < sizeof(Translation))
    return L"";
  wchar_t query[64];
  wsprintfW(query, L"\\StringFileInfo\\%04x%04x\\ProductName", translations[0].language,
            translations[0].codePage);
  wchar_t* value = nullptr;
  if (!VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&value), &length) || !value)
    return L"";
  return value;
}

void PumpMessages() {
  // Asking whether anything waits costs a tenth of looking for it under Wine,
  // and a rename run asks once per file.
  if (LOWORD(GetQueueStatus(QS_ALLINPUT)) == 0) return;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    HWND active = GetActiveWindow();
    if (active && IsDialogMessageW(active, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace win
