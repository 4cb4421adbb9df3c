// The list's commands: adding files (dialog and drop), removing one, the
// rename run and its undo, the properties, and the list's mouse buttons.
#include "app/main_window.h"

#include <commdlg.h>
#include <windowsx.h>

#include <algorithm>
#include <exception>

#include "app/core/dialog_result.h"
#include "app/drop_target.h"
#include "app/folder_picker.h"
#include "audio/property/property_dialog.h"
#include "engine/rename_run.h"
#include "engine/rename_entry.h"
#include "engine/undo_journal.h"
#include "engine/undo_run.h"
#include "settings/settings.h"
#include "win/command_boundary.h"
#include "win/file_lookup.h"

namespace {

std::wstring FileDialogFilter() {
  // Descriptions and patterns alternate; "すべてのファイル" gets "*.*".
  std::wstring filter =
      L"対応しているすべてのファイル|*.mp1;*.mp3;*.mp3;*.rmp;*.wav;*.flac;*.m4a;*.m4b;*.ogg;*.oga;*.opus|"
      L"MPEG オーディオ(*.mp1;*.mp3;*.mp3)|*.mp1;*.mp3;*.mp3|RIFF 形式 MP3 オーディオ(*.rmp)|*.rmp|"
      L"Wave オーディオ(*.wav)|*.wav|"
      L"FLAC / AAC / Ogg / Opus オーディオ(*.flac;*.m4a;*.m4b;*.ogg;*.oga;*.opus)|"
      L"*.flac;*.m4a;*.m4b;*.ogg;*.oga;*.opus|"
      L"すべてのファイル|*.*|";
  for (wchar_t& c : filter)
    if (c == L'|') c = L'\0';
  return filter;
}

// The dialog's result runs to the double NUL: a full path, or a folder
// followed by the chosen names, each ended by a NUL.
std::wstring DialogResultText(const std::vector<wchar_t>& buffer) {
  size_t end = 0;
  while (end + 1 < buffer.size() && !(buffer[end] == L'\0' && buffer[end + 1] == L'\0')) ++end;
  return std::wstring(buffer.data(), end);
}

}  // namespace

void MainWindow::OnOpenFolderClick() {
  std::optional<std::wstring> folder = PickFolder(Handle(), L"フォルダの追加");
  if (folder) AddFiles({*folder});
}

void MainWindow::OnOpenClick() {
  // Room for a long multiple selection: the dialog reports a too-small
  // buffer as a failure, which would end the command quietly.
  std::vector<wchar_t> buffer(1 << 16, L'\0');
  std::wstring filter = FileDialogFilter();
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = Handle();
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrTitle = L"ファイルの追加";
  ofn.Flags = OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST |
              OFN_NOREADONLYRETURN | OFN_EXPLORER | OFN_LONGNAMES;
  if (!GetOpenFileNameW(&ofn)) return;
  try {
    AddFiles(SplitDialogResult(DialogResultText(buffer), win::NormalFileExists));
  } catch (const std::exception&) {
    // A failure while adding ends the command quietly; what was added stays.
  }
}

void MainWindow::OnDropFiles(HDROP drop) {
  std::vector<std::wstring> paths = PathsOfDrop(drop);
  DragFinish(drop);
  AddFiles(paths);
}

void MainWindow::OnDeleteClick() {
  int count = list_->Count();
  std::vector<int> selected = list_->SelectedPositions();
  if (count == 0 || selected.empty()) return;
  player_->BeforeRemove(selected, count);
  list_->RemovePositions(selected);
  // The entry that took the first removed one's place, so that Del can be
  // pressed again.
  list_->Select(std::min(selected.front(), list_->Count()));
  list_->ShowItemCount();
}

void MainWindow::OnColumnClick(int column) {
  std::vector<int> newPositionOf = list_->SortByColumn(column);
  player_->Reordered(newPositionOf);
}

void MainWindow::OnListKeyDown(WORD key) {
  if (key == 'A' && (GetKeyState(VK_CONTROL) & 0x8000)) list_->SelectAll();
}

// However a run or an undo ends, the menu shows whether it left a journal.
struct MainWindow::UndoRefresh {
  MainWindow* window;
  ~UndoRefresh() { window->ShowUndoAvailable(); }
};

void MainWindow::OnExecRenameClick() {
  UndoRefresh refresh{this};
  RunRenameCommand(Handle(), *list_, programDirectory_, preferences_.settings);
}

void MainWindow::OnUndoRenameClick() {
  UndoRefresh refresh{this};
  RunUndo(Handle(), JournalPathIn(programDirectory_));
}

void MainWindow::ShowUndoAvailable() {
  SetEnabled(IDM_UNDORENAME, JournalExists(JournalPathIn(programDirectory_)));
}

void MainWindow::OnExitClick() {
  SendMessageW(Handle(), WM_CLOSE, 0, 0);
  ExitProcess(0);
}

void MainWindow::OnPropertiesClick() {
  if (list_->Count() == 0 || list_->Selected() == 0) return;
  ShowPropertyDialog(Handle(), *list_, preferences_, JournalPathIn(programDirectory_));
}

void MainWindow::OnListDoubleClick() {
  if (list_->Count() == 0 || list_->Selected() == 0) return;
  OnCommand(preferences_.settings.doubleClickAction != 0 ? IDM_PLAYERPLAY : IDM_RMPROPERTY);
}

// Whether the left or middle button is held with the right one when the
// right one is released: keys is the release's own record (0 when there is
// none), and the buttons held now must say so too, since the thread's
// record can go on showing a button held after a pop-up menu took its
// release. ignoreLeft: the left button's press was the menu's.
bool MainWindow::OtherButtonHeld(WPARAM keys, bool ignoreLeft) {
  const int left = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
  bool leftHeld =
      !ignoreLeft && (GetAsyncKeyState(left) & 0x8000) && (keys == 0 || (keys & MK_LBUTTON));
  bool middleHeld = (GetAsyncKeyState(VK_MBUTTON) & 0x8000) && (keys == 0 || (keys & MK_MBUTTON));
  return leftHeld || middleHeld;
}

// The list's right button is handled here, not by the list view: the list
// view follows a press in a loop of its own that takes a drag for granted
// when the mouse capture goes elsewhere meanwhile, which happens as a pop-up
// menu closes, and then never reports the click. The press selects the entry
// under the mouse (or none) as the list view would; the release, with its own
// record of which buttons are held, opens the pop-up menu.
LRESULT CALLBACK MainWindow::ListViewRightButton(HWND list, UINT msg, WPARAM wp, LPARAM lp,
                                                 UINT_PTR, DWORD_PTR self) {
  auto* window = reinterpret_cast<MainWindow*>(self);
  switch (msg) {
    case WM_RBUTTONDOWN: {
      SetFocus(list);
      LVHITTESTINFO hit{};
      hit.pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      int item = ListView_SubItemHitTest(list, &hit);
      // A press on a selected entry keeps the selection, as in Explorer.
      if (item >= 0 && ListView_GetItemState(list, item, LVIS_SELECTED)) {
        ListView_SetItemState(list, item, LVIS_FOCUSED, LVIS_FOCUSED);
      } else if (item >= 0) {
        window->list_->Select(item + 1);
      } else {
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
      }
      return 0;
    }
    case WM_LBUTTONDOWN:
      // The click that dismissed the pop-up menu reaches the list too, and
      // its release may never reach this program: under Wine the release
      // goes to the menu's window, which is gone by then, so the left button
      // goes on looking held. A press from before the menu closed is that
      // click.
      window->leftPressFromMenu_ =
          static_cast<LONG>(static_cast<DWORD>(GetMessageTime()) - window->menuClosedAt_) <= 0;
      break;
    case WM_LBUTTONUP: window->leftPressFromMenu_ = false; break;
    case WM_RBUTTONUP:
      if (!OtherButtonHeld(wp, window->leftPressFromMenu_))
        win::RunCommand(window->Handle(), [&] { window->OnListRightButtonUp(); });
      return 0;
    case WM_CONTEXTMENU:
      // Only the keyboard's: the mouse's comes from the release above.
      if (lp == -1) win::RunCommand(window->Handle(), [&] { window->OnListContextKey(); });
      return 0;
    case WM_NCDESTROY: RemoveWindowSubclass(list, ListViewRightButton, 0); break;
  }
  return DefSubclassProc(list, msg, wp, lp);
}

void MainWindow::OnListRightButtonUp() {
  POINT at;
  GetCursorPos(&at);
  ShowListPopup(at);
}

void MainWindow::OnListContextKey() {
  POINT at{0, 0};
  RECT item;
  int focused = ListView_GetNextItem(listView_, -1, LVNI_FOCUSED);
  if (focused >= 0 && focused < list_->Count()) {
    ListView_EnsureVisible(listView_, focused, FALSE);
    if (ListView_GetItemRect(listView_, focused, &item, LVIR_LABEL)) at = {item.left, item.bottom};
  }
  ClientToScreen(listView_, &at);
  ShowListPopup(at);
}

void MainWindow::ShowListPopup(POINT at) {
  // Its items are disabled only while the pop-up for an empty list is open.
  constexpr int kItems[] = {IDM_RMPLAYERPLAY, IDM_RMPROPERTY};
  bool empty = list_->Count() == 0;
  for (int id : kItems) SetEnabled(id, !empty && !WaitsNow(id));
  int chosen = static_cast<int>(TrackPopupMenu(
      rightClickMenu_.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(), nullptr));
  menuClosedAt_ = GetTickCount();
  for (int id : kItems) SetEnabled(id, !WaitsNow(id));
  if (chosen) OnCommand(chosen);
}
