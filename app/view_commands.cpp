// The view menu's commands: toolbar shown and flat, status bar shown, and
// the list's columns with full paths or file names only.
#include "app/main_window.h"
#include "win/ui.h"

void MainWindow::OnShowToolBarClick() {
  bool show = ToggleCheck(IDM_SHOWTOOLBAR);
  SetEnabled(IDM_FLATTOOLBAR, show);
  ShowWindow(toolbar_, show ? SW_SHOW : SW_HIDE);
  LayoutList();
}

void MainWindow::OnFlatToolBarClick() {
  bool flat = ToggleCheck(IDM_FLATTOOLBAR);
  ApplyToolbarStyle(flat);
  LayoutList();
}

void MainWindow::OnStatusBarClick() {
  bool show = ToggleCheck(IDM_STATUS);
  ShowWindow(statusBar_, show ? SW_SHOW : SW_HIDE);
  LayoutList();
}

void MainWindow::OnShowFilenameOnlyClick() {
  SetColumnWidths(ToggleCheck(IDM_SHOWFILENAMEONLY));
}

void MainWindow::ApplyToolbarStyle(bool flat) {
  LONG_PTR style = GetWindowLongPtrW(toolbar_, GWL_STYLE);
  style = flat ? (style | TBSTYLE_FLAT) : (style & ~static_cast<LONG_PTR>(TBSTYLE_FLAT));
  SetWindowLongPtrW(toolbar_, GWL_STYLE, style);
  SendMessageW(toolbar_, TB_SETSTYLE, 0, static_cast<LPARAM>(style));
  SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
  InvalidateRect(toolbar_, nullptr, TRUE);
}

void MainWindow::SetColumnWidths(bool fileNameOnly) {
  int wide = win::TwipsToPixelsX(kColumnWidth);
  ListView_SetColumnWidth(listView_, 0, fileNameOnly ? 0 : wide);
  ListView_SetColumnWidth(listView_, 1, fileNameOnly ? 0 : wide);
  ListView_SetColumnWidth(listView_, 2, fileNameOnly ? wide : 0);
  ListView_SetColumnWidth(listView_, 3, fileNameOnly ? wide : 0);
}
