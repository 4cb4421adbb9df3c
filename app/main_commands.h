// The main window's commands, each written once: what the menus, the
// accelerator table, the toolbar's tips and the dispatch are made from.
#pragma once
#include <windows.h>

#include <span>
#include <string>

class MainWindow;

struct Shortcut {
  BYTE modifiers = 0;  // FCONTROL, FSHIFT
  WORD key = 0;        // a virtual key; 0 for none
};

struct MainCommand {
  int id;
  const wchar_t* caption;  // the menu item's, without its shortcut; null: no item
  Shortcut shortcut;
  const wchar_t* tip;  // the toolbar button's, without its shortcut; null: no button
  int image;           // the button's picture in the toolbar strip
  void (MainWindow::*handler)();
  // Needs the whole list, or changes what an entry is: not while files are
  // still being added.
  bool waitsWhileAdding;
};

std::span<const MainCommand> MainCommands();
// Null for an identifier that is no command.
const MainCommand* FindMainCommand(int id);

// "Ctrl+O", "Ctrl+Shift+O", "Del".
std::wstring ShortcutText(Shortcut shortcut);
// The caption with its shortcut after a tab: "ファイルを追加(&O)...\tCtrl+O".
std::wstring MenuCaption(const MainCommand& command);
// The tip with its shortcut in brackets: "ファイルを追加 (Ctrl+O)".
std::wstring ToolbarTipText(const MainCommand& command);
