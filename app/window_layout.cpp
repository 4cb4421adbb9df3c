// The children's places: the status bar with its three panels and the list
// between the bars.
#include "app/main_window.h"

#include <algorithm>
#include "win/ui.h"

void MainWindow::CreateStatusBar() {
  statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP,
                               0, 0, 0, 0, Handle(), reinterpret_cast<HMENU>(kStatusBarId),
                               GetModuleHandleW(nullptr), nullptr);
  LayoutStatusBar();
  SendMessageW(statusBar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"項目数：0"));
  SendMessageW(statusBar_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"停止"));
  UpdateClock();
}

void MainWindow::CreateListView() {
  listView_ = CreateWindowExW(
      WS_EX_CLIENTEDGE, WC_LISTVIEWW, nullptr,
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, 0, 0,
      100, 100, Handle(), reinterpret_cast<HMENU>(kListViewId), GetModuleHandleW(nullptr), nullptr);
  ListView_SetExtendedListViewStyle(listView_, LVS_EX_FULLROWSELECT);
  SetWindowSubclass(listView_, ListViewRightButton, 0, reinterpret_cast<DWORD_PTR>(this));
  const wchar_t* captions[] = {L"元ファイル名(フルパス)", L"リネーム後ファイル名(フルパス)",
                               L"元ファイル名(ファイル名のみ)",
                               L"リネーム後ファイル名(ファイル名のみ)"};
  for (int i = 0; i < 4; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(captions[i]);
    column.cx = i < 2 ? win::TwipsToPixelsX(kColumnWidth) : 0;
    column.iSubItem = i;
    ListView_InsertColumn(listView_, i, &column);
  }
}

void MainWindow::OnSize() {
  if (toolbar_) SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
  LayoutStatusBar();
  LayoutList();
}

void MainWindow::LayoutList() {
  if (!listView_) return;
  RECT client;
  GetClientRect(Handle(), &client);
  auto heightOf = [](HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    return static_cast<int>(r.bottom - r.top);
  };
  int top = view_.toolbarShown ? heightOf(toolbar_) : 0;
  int reserved = 0;
  if (view_.statusBarShown) reserved += heightOf(statusBar_);
  if (view_.toolbarShown) reserved += heightOf(toolbar_);
  RECT current;
  GetWindowRect(listView_, &current);
  int height = current.bottom - current.top;
  // While minimised (or squeezed to nothing) the list keeps its height.
  if (win::PixelsToTwipsY(client.bottom) - win::PixelsToTwipsY(reserved) > 1)
    height = client.bottom - reserved;
  MoveWindow(listView_, 0, top, client.right, height, TRUE);
}

void MainWindow::LayoutStatusBar() {
  if (!statusBar_) return;
  SendMessageW(statusBar_, WM_SIZE, 0, 0);
  RECT r;
  GetClientRect(Handle(), &r);
  // Item count and clock keep their widths; the player state takes the rest.
  int parts[3] = {win::TwipsToPixelsX(1800), 0, -1};
  parts[1] = std::max(parts[0] + 1, static_cast<int>(r.right) - win::TwipsToPixelsX(1200));
  SendMessageW(statusBar_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
}

void MainWindow::UpdateClock() {
  wchar_t text[64] = {};
  GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, nullptr, nullptr, text, 64);
  SendMessageW(statusBar_, SB_SETTEXTW, 2, reinterpret_cast<LPARAM>(text));
}
