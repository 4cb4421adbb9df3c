// The menu bar, the list's pop-up menu and the keyboard shortcuts, made from
// the command table. The check marks show the window's view state (view_),
// which they follow.
#include "app/main_window.h"

#include <vector>

#include "app/main_commands.h"

namespace {

void Item(HMENU menu, int id) {
  std::wstring caption = MenuCaption(*FindMainCommand(id));
  AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(id), caption.c_str());
}
void Separator(HMENU menu) { AppendMenuW(menu, MF_SEPARATOR, 0, nullptr); }
void Popup(HMENU bar, HMENU menu, const wchar_t* caption) {
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), caption);
}

HMENU FileMenu() {
  HMENU file = CreatePopupMenu();
  Item(file, IDM_OPEN);
  Item(file, IDM_OPENFOLDER);
  Item(file, IDM_DELETE);
  Separator(file);
  Item(file, IDM_EXECRENAME);
  Item(file, IDM_UNDORENAME);
  Separator(file);
  Item(file, IDM_EXIT);
  return file;
}

HMENU ViewMenu() {
  HMENU view = CreatePopupMenu();
  HMENU toolbar = CreatePopupMenu();
  Item(toolbar, IDM_SHOWTOOLBAR);
  Item(toolbar, IDM_FLATTOOLBAR);
  Popup(view, toolbar, L"ツールバー(&T)");
  Item(view, IDM_STATUS);
  Separator(view);
  Item(view, IDM_SHOWFILENAMEONLY);
  return view;
}

HMENU ToolMenu() {
  HMENU tool = CreatePopupMenu();
  HMENU player = CreatePopupMenu();
  Item(player, IDM_PLAYERPLAY);
  Item(player, IDM_PLAYERSTOP);
  Separator(player);
  Item(player, IDM_PLAYERNEXT);
  Item(player, IDM_PLAYERPREV);
  Separator(player);
  Item(player, IDM_PLAYERREPEAT);
  Popup(tool, player, L"プレイヤー(&P)");
  Separator(tool);
  Item(tool, IDM_OPTION);
  return tool;
}

}  // namespace

void MainWindow::CreateMenus() {
  menuBar_ = CreateMenu();
  Popup(menuBar_, FileMenu(), L"ファイル(&F)");
  Popup(menuBar_, ViewMenu(), L"表示(&V)");
  Popup(menuBar_, ToolMenu(), L"ツール(&T)");
  HMENU help = CreatePopupMenu();
  Item(help, IDM_VERSION);
  Popup(menuBar_, help, L"ヘルプ(&H)");
  rightClickMenu_.Reset(CreatePopupMenu());
  Item(rightClickMenu_.Get(), IDM_RMPLAYERPLAY);
  Item(rightClickMenu_.Get(), IDM_RMPROPERTY);

  std::vector<ACCEL> keys;
  for (const MainCommand& command : MainCommands())
    if (command.shortcut.key)
      keys.push_back({static_cast<BYTE>(FVIRTKEY | command.shortcut.modifiers),
                      command.shortcut.key, static_cast<WORD>(command.id)});
  accelerators_.Reset(CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size())));
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
