// How the main window looked when it was closed last, as the settings file
// keeps it in its "QKPomeren_SE Window" section.
#pragma once

struct WindowSettings {
  int WindowState = 0;  // 0 normal, 1 minimised, 2 maximised
  bool ToolBarVisible = true;
  bool ToolBarFlat = false;
  bool StatusBarVisible = true;
  bool ShowFilenameOnly = false;
  // The normal-state outer size in twips; 0 keeps the size the window has.
  int Width = 0;
  int Height = 0;
  // Whether the caption shows the build number. Set by the update monitor's
  // registration, never written by this program.
  bool UpCheckShown = false;
};
