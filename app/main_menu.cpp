// The menu bar, the list's pop-up menu and the keyboard shortcuts. The
// check marks show the window's view state (view_), which they follow.
#include "app/main_window.h"

#include <iterator>

namespace {

void Item(HMENU menu, int id, const wchar_t* caption) {
  AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(id), caption);
}
void Separator(HMENU menu) { AppendMenuW(menu, MF_SEPARATOR, 0, nullptr); }
void Popup(HMENU bar, HMENU menu, const wchar_t* caption) {
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), caption);
}

HMENU FileMenu() {
  HMENU file = CreatePopupMenu();
  Item(file, IDM_OPEN, L"ファイルを追加(&O)...\tCtrl+O");
  Item(file, IDM_OPENFOLDER, L"フォルダを追加(&F)...\tCtrl+Shift+O");
  Item(file, IDM_DELETE, L"ファイルを削除(&D)\tDel");
  Separator(file);
  Item(file, IDM_EXECRENAME, L"リネーム開始(&S)");
  Item(file, IDM_UNDORENAME, L"直前のリネームを元に戻す(&U)");
  Separator(file);
  Item(file, IDM_EXIT, L"終了(&X)");
  return file;
}

HMENU ViewMenu() {
  HMENU view = CreatePopupMenu();
  HMENU toolbar = CreatePopupMenu();
  Item(toolbar, IDM_SHOWTOOLBAR, L"表示(&V)");
  Item(toolbar, IDM_FLATTOOLBAR, L"フラット(&F)");
  Popup(view, toolbar, L"ツールバー(&T)");
  Item(view, IDM_STATUS, L"ステータスバー(&S)");
  Separator(view);
  Item(view, IDM_SHOWFILENAMEONLY, L"ファイル名だけで表示");
  return view;
}

HMENU ToolMenu() {
  HMENU tool = CreatePopupMenu();
  HMENU player = CreatePopupMenu();
  Item(player, IDM_PLAYERPLAY, L"再生(&P)");
  Item(player, IDM_PLAYERSTOP, L"停止(&S)");
  Separator(player);
  Item(player, IDM_PLAYERNEXT, L"次の曲(&N)");
  Item(player, IDM_PLAYERPREV, L"前の曲(&L)");
  Separator(player);
  Item(player, IDM_PLAYERREPEAT, L"連続再生(&R)");
  Popup(tool, player, L"プレイヤー(&P)");
  Separator(tool);
  Item(tool, IDM_OPTION, L"オプション(&O)...");
  return tool;
}

}  // namespace

void MainWindow::CreateMenus() {
  menuBar_ = CreateMenu();
  Popup(menuBar_, FileMenu(), L"ファイル(&F)");
  Popup(menuBar_, ViewMenu(), L"表示(&V)");
  Popup(menuBar_, ToolMenu(), L"ツール(&T)");
  HMENU help = CreatePopupMenu();
  Item(help, IDM_VERSION, L"バージョン情報(&V)...");
  Popup(menuBar_, help, L"ヘルプ(&H)");
  rightClickMenu_.Reset(CreatePopupMenu());
  Item(rightClickMenu_.Get(), IDM_RMPLAYERPLAY, L"再生(&L)");
  Item(rightClickMenu_.Get(), IDM_RMPROPERTY, L"プロパティ(&P)");

  ACCEL keys[] = {
      {FCONTROL | FVIRTKEY, 'O', IDM_OPEN},
      {FVIRTKEY, VK_DELETE, IDM_DELETE},
      {FCONTROL | FSHIFT | FVIRTKEY, 'O', IDM_OPENFOLDER},
      {FVIRTKEY, VK_ESCAPE, IDM_STOPADD},
  };
  accelerators_.Reset(CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys))));
}

HMENU MainWindow::MenuOf(int command) const {
  // Every command is on the bar or on the pop-up menu, never on both.
  if (GetMenuState(menuBar_, static_cast<UINT>(command), MF_BYCOMMAND) != static_cast<UINT>(-1))
    return menuBar_;
  return rightClickMenu_.Get();
}

bool MainWindow::IsChecked(int command) const {
  return (GetMenuState(MenuOf(command), static_cast<UINT>(command), MF_BYCOMMAND) & MF_CHECKED) !=
         0;
}

bool MainWindow::IsEnabled(int command) const {
  return (GetMenuState(MenuOf(command), static_cast<UINT>(command), MF_BYCOMMAND) &
          (MF_GRAYED | MF_DISABLED)) == 0;
}

void MainWindow::SetCheck(int command, bool checked) {
  CheckMenuItem(MenuOf(command), static_cast<UINT>(command),
                MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void MainWindow::SetEnabled(int command, bool enabled) {
  EnableMenuItem(MenuOf(command), static_cast<UINT>(command),
                 MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}
