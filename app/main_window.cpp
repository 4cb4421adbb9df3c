#include "app/main_window.h"

#include <commctrl.h>
#include <ole2.h>

#include "app/about/about_dialog.h"
#include "app/drop_target.h"
#include "app/main_commands.h"
#include "audio/player/vbmp3_player_library.h"
#include "engine/background_add.h"
#include "options/dialog/option_dialog.h"
#include "win/command_boundary.h"
#include "win/ui.h"

void MainWindow::PrepareThread() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_BAR_CLASSES |
                                                      ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES |
                                                      ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  OleInitialize(nullptr);
}

MainWindow::MainWindow(std::wstring programDirectory)
    : programDirectory_(std::move(programDirectory)),
      listFile_(ListFile::PathIn(programDirectory_)) {}

MainWindow::~MainWindow() {
  if (dropTarget_) dropTarget_->Release();
}

bool MainWindow::Create() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  win::WindowClass windowClass{kClassName};
  windowClass.icon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  if (!windowClass.icon) windowClass.icon = LoadIconW(nullptr, IDI_APPLICATION);
  windowClass.smallIcon = windowClass.icon;
  CreateMenus();
  if (!win::Window::Create(windowClass, kCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, nullptr,
                           menuBar_, CW_USEDEFAULT, CW_USEDEFAULT, 600, 400))
    return false;
  win::PlaceCentred(Handle(), nullptr, kDesignClientWidth, kDesignClientHeight);
  if (!LoadAtStart()) {
    DestroyWindow(Handle());
    return false;
  }
  // Opens centred on the screen at whatever size the settings gave.
  win::CentreOnWorkArea(Handle());
  return true;
}

void MainWindow::OnCreate() {
  CreateToolbar();
  CreateStatusBar();
  CreateListView();
  list_ = std::make_unique<ListViewRenameList>(listView_, statusBar_);
  playerLibrary_ = std::make_unique<Vbmp3PlayerLibrary>();
  player_ = std::make_unique<Player>(*playerLibrary_, *this);
  SetTimer(Handle(), kClockTimer, 1000, nullptr);
  dropTarget_ = new DropTarget([this](const std::vector<std::wstring>& paths) { AddFiles(paths); });
  RegisterDragDrop(listView_, dropTarget_);
  DragAcceptFiles(Handle(), TRUE);
  ShowView();
}

void MainWindow::Show() {
  ShowWindow(Handle(), showCommand_);
  UpdateWindow(Handle());
  SetFocus(listView_);
}

void MainWindow::OnClose() {
  // The close is never refused; an add going on ends after its file.
  adder_.reset();
  SaveAtClose();
  DestroyWindow(Handle());
}

void MainWindow::OnDestroy() {
  KillTimer(Handle(), kClockTimer);
  KillTimer(Handle(), kPlayerTimer);
  RevokeDragDrop(listView_);
  PostQuitMessage(0);
}

bool MainWindow::WaitsNow(int id) const {
  const MainCommand* command = FindMainCommand(id);
  return command && command->waitsWhileAdding && Adding();
}

void MainWindow::OnCommand(int id) {
  const MainCommand* command = FindMainCommand(id);
  if (!command || WaitsNow(id)) return;
  win::RunCommand(Handle(), [&] { (this->*command->handler)(); });
}

LRESULT MainWindow::OnNotify(NMHDR* header) {
  if (header->hwndFrom == listView_) {
    switch (header->code) {
      case LVN_GETDISPINFOW:
        list_->OnGetDispInfo(reinterpret_cast<NMLVDISPINFOW*>(header));
        return 0;
      case NM_DBLCLK:
      case NM_RETURN: win::RunCommand(Handle(), [&] { OnListDoubleClick(); }); return 0;
      case LVN_KEYDOWN: OnListKeyDown(reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey); return 0;
      case LVN_COLUMNCLICK:
        OnColumnClick(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
        return 0;
      case NM_RCLICK:
        // A right click reported without a release of its own.
        if (!OtherButtonHeld(0, leftPressFromMenu_))
          win::RunCommand(Handle(), [&] { OnListRightButtonUp(); });
        return 1;
    }
  }
  if (header->code == TTN_GETDISPINFOW) {
    if (const wchar_t* text = ToolbarTip(static_cast<int>(header->idFrom))) {
      auto* tip = reinterpret_cast<NMTTDISPINFOW*>(header);
      tip->lpszText = const_cast<wchar_t*>(text);
      tip->hinst = nullptr;
    }
  }
  return 0;
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE: OnCreate(); return 0;
    case WM_COMMAND: OnCommand(LOWORD(wp)); return 0;
    case WM_NOTIFY: return OnNotify(reinterpret_cast<NMHDR*>(lp));
    case WM_SIZE: OnSize(); return 0;
    case WM_SETFOCUS:
      // The list is where the keys go, also when the window is activated
      // again after a dialog or the report window closed.
      if (listView_) SetFocus(listView_);
      return 0;
    case WM_TIMER:
      if (wp == kPlayerTimer) win::RunCommand(Handle(), [&] { player_->Tick(); });
      if (wp == kClockTimer) UpdateClock();
      return 0;
    case kAddReadyMessage: win::RunCommand(Handle(), [&] { OnAddReady(); }); return 0;
    case WM_DROPFILES:
      win::RunCommand(Handle(), [&] { OnDropFiles(reinterpret_cast<HDROP>(wp)); });
      return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION:
      if (wp) {
        adder_.reset();
        SaveAtClose();
      }
      return 0;
    case WM_DESTROY: OnDestroy(); return 0;
  }
  return DefaultHandling(msg, wp, lp);
}

int MainWindow::EntryCount() const { return list_->Count(); }
std::wstring MainWindow::SourcePath(int position) const { return list_->Get(position).source; }
int MainWindow::SelectedPosition() const { return list_->Selected(); }
bool MainWindow::ContinuousPlay() const { return view_.continuousPlay; }

void MainWindow::SetPlayerStatus(const std::wstring& text) {
  SendMessageW(statusBar_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(text.c_str()));
}

void MainWindow::ShowPlayError(const std::wstring& text) {
  win::MessageBoxText(Handle(), text, MB_OK);
}

void MainWindow::SetPlayerTimer(bool on) {
  if (on) {
    SetTimer(Handle(), kPlayerTimer, 1000, nullptr);
  } else {
    KillTimer(Handle(), kPlayerTimer);
  }
}

void MainWindow::OnPlayerPlayClick() { player_->Play(); }
void MainWindow::OnPlayerStopClick() { player_->Stop(); }
void MainWindow::OnPlayerNextClick() { player_->Next(); }
void MainWindow::OnPlayerPreviousClick() { player_->Previous(); }
void MainWindow::OnOptionsClick() { ShowOptionsDialog(Handle(), preferences_); }
void MainWindow::OnVersionClick() { ShowAboutDialog(Handle()); }
