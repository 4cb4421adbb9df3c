#include "tests/support/dialog_checks.h"

#include <commctrl.h>

#include <cwctype>
#include <map>

#include "win/ui.h"

namespace dialog_checks {
namespace {

struct ModalState {
  const wchar_t* windowClass = nullptr;
  std::function<void(HWND)> check;
  UINT guardMs = 0;
  ModalRun result;
  HWND window = nullptr;
};
ModalState* g_state = nullptr;

void CALLBACK Guard(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (g_state && g_state->window && IsWindow(g_state->window)) {
    g_state->result.closedByGuard = true;
    DestroyWindow(g_state->window);
  }
}

BOOL CALLBACK MatchClass(HWND window, LPARAM found) {
  wchar_t name[64];
  if (GetClassNameW(window, name, 64) && lstrcmpW(name, g_state->windowClass) == 0) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK Look(HWND, UINT, UINT_PTR timer, DWORD) {
  if (!g_state) return;
  // This thread's window: another test process may show one of its kind.
  HWND window = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), MatchClass, reinterpret_cast<LPARAM>(&window));
  if (!window || !IsWindowVisible(window)) return;
  KillTimer(nullptr, timer);
  g_state->window = window;
  g_state->result.shown = true;
  SetTimer(nullptr, 0, g_state->guardMs, Guard);
  g_state->check(window);
}

bool Visible(HWND control) { return (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0; }

std::wstring ClassOf(HWND control) {
  wchar_t name[64] = {};
  GetClassNameW(control, name, 64);
  return name;
}

bool IsContainer(HWND control) {
  std::wstring cls = ClassOf(control);
  if (_wcsicmp(cls.c_str(), WC_TABCONTROLW) == 0) return true;
  if (_wcsicmp(cls.c_str(), L"Button") == 0)
    return (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
  // A static that holds controls of its own (a group of option buttons).
  return GetWindow(control, GW_CHILD) != nullptr;
}

// Where the control lies in its parent's client area. A combo box's window
// is its closed height: its list is a window of its own.
RECT PlaceInParent(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::wstring Name(HWND control) {
  return ClassOf(control) + L" " + std::to_wstring(GetDlgCtrlID(control)) + L" \"" +
         win::GetText(control) + L"\"";
}

wchar_t AccessKey(HWND control) {
  std::wstring cls = ClassOf(control);
  if (_wcsicmp(cls.c_str(), L"Static") == 0 && (GetWindowLongW(control, GWL_STYLE) & SS_NOPREFIX))
    return 0;
  if (_wcsicmp(cls.c_str(), L"Static") != 0 && _wcsicmp(cls.c_str(), L"Button") != 0) return 0;
  std::wstring text = win::GetText(control);
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != L'&') continue;
    if (text[i + 1] == L'&') {
      ++i;
      continue;
    }
    return static_cast<wchar_t>(std::towupper(text[i + 1]));
  }
  return 0;
}

void CollectVisible(HWND parent, std::vector<HWND>& out) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!Visible(c)) continue;
    out.push_back(c);
    // A combo box's edit field is part of it, not a control of the dialog.
    if (_wcsicmp(ClassOf(c).c_str(), L"ComboBox") != 0) CollectVisible(c, out);
  }
}

}  // namespace

ModalRun RunModal(const std::function<void()>& open, const wchar_t* windowClass,
                  const std::function<void(HWND)>& check, UINT guardMs) {
  ModalState state;
  state.windowClass = windowClass;
  state.check = check;
  state.guardMs = guardMs;
  ModalState* outer = g_state;
  g_state = &state;
  UINT_PTR look = SetTimer(nullptr, 0, 30, Look);
  open();
  KillTimer(nullptr, look);
  g_state = outer;
  return state.result;
}

std::vector<std::wstring> LayoutFaults(HWND dialog) {
  std::vector<std::wstring> faults;
  std::vector<HWND> controls;
  CollectVisible(dialog, controls);
  for (HWND c : controls) {
    RECT area, r = PlaceInParent(c);
    GetClientRect(GetParent(c), &area);
    if (r.left < area.left || r.top < area.top || r.right > area.right || r.bottom > area.bottom)
      faults.push_back(Name(c) + L" reaches outside its parent");
  }
  for (size_t i = 0; i < controls.size(); ++i) {
    for (size_t j = i + 1; j < controls.size(); ++j) {
      HWND a = controls[i], b = controls[j];
      if (GetParent(a) != GetParent(b) || IsContainer(a) || IsContainer(b)) continue;
      RECT ra = PlaceInParent(a), rb = PlaceInParent(b), both;
      // A pixel's touch is the rounding of twips to pixels, not an overlap
      // anyone sees.
      if (IntersectRect(&both, &ra, &rb) && both.right - both.left > 1 &&
          both.bottom - both.top > 1)
        faults.push_back(Name(a) + L" overlaps " + Name(b));
    }
  }
  std::map<wchar_t, HWND> keys;
  for (HWND c : controls) {
    wchar_t key = AccessKey(c);
    if (!key) continue;
    auto [at, added] = keys.emplace(key, c);
    if (!added) faults.push_back(Name(at->second) + L" and " + Name(c) + L" share an access key");
  }
  return faults;
}

std::vector<HWND> TabOrder(HWND dialog, HWND first) {
  std::vector<HWND> seen;
  HWND at = first;
  do {
    seen.push_back(at);
    at = GetNextDlgTabItem(dialog, at, FALSE);
  } while (at && at != first && seen.size() < 64);
  return seen;
}

}  // namespace dialog_checks
