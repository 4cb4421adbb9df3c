// The view commands: toolbar shown and flat, status bar shown, the list's
// columns with full paths or file names only, and continuous play. Each
// changes the view state, and everything that shows it follows.
#include "app/main_window.h"
#include "win/ui.h"

void MainWindow::OnShowToolBarClick() {
  view_.toolbarShown = !view_.toolbarShown;
  ShowView();
}

void MainWindow::OnFlatToolBarClick() {
  view_.toolbarFlat = !view_.toolbarFlat;
  ShowView();
}

void MainWindow::OnStatusBarClick() {
  view_.statusBarShown = !view_.statusBarShown;
  ShowView();
}

void MainWindow::OnShowFilenameOnlyClick() {
  view_.fileNamesOnly = !view_.fileNamesOnly;
  ShowView();
}

void MainWindow::OnPlayerRepeatClick() {
  view_.continuousPlay = !view_.continuousPlay;
  ShowView();
}

void MainWindow::ShowView() {
  SetCheck(IDM_SHOWTOOLBAR, view_.toolbarShown);
  SetCheck(IDM_FLATTOOLBAR, view_.toolbarFlat);
  // The style of a hidden toolbar is not for choosing.
  SetEnabled(IDM_FLATTOOLBAR, view_.toolbarShown);
  SetCheck(IDM_STATUS, view_.statusBarShown);
  SetCheck(IDM_SHOWFILENAMEONLY, view_.fileNamesOnly);
  SetCheck(IDM_PLAYERREPEAT, view_.continuousPlay);
  bool flat = (GetWindowLongPtrW(toolbar_, GWL_STYLE) & TBSTYLE_FLAT) != 0;
  if (flat != view_.toolbarFlat) ApplyToolbarStyle(view_.toolbarFlat);
  ShowWindow(toolbar_, view_.toolbarShown ? SW_SHOW : SW_HIDE);
  ShowWindow(statusBar_, view_.statusBarShown ? SW_SHOW : SW_HIDE);
  SetColumnWidths(view_.fileNamesOnly);
  LayoutList();
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
