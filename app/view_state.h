// What the main window shows and how: the one record that the view
// commands change and that the menus' check marks, the toolbar, the layout
// and the settings file all follow.
#pragma once

struct ViewState {
  bool toolbarShown = true;
  bool toolbarFlat = false;
  bool statusBarShown = true;
  bool fileNamesOnly = false;  // the list's columns: file names, not full paths
  bool continuousPlay = false;
};
