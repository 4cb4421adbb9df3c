// frmVelnoirSE: the main window with the rename list, its menus, toolbar and
// status bar, the view state and the preview player.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "app/list/rename_list_view.h"
#include "audio/player/player.h"

class DropTarget;

class MainWindow : public PlayerHost {
 public:
  static constexpr const wchar_t* kClassName = L"VelnoirMainWindow";
  static constexpr const wchar_t* kCaption = L"MP3 Velnoir ぽめろ";

  // programDirectory: where "velnoir.ini" lives (the exe's folder unless a
  // test says otherwise).
  explicit MainWindow(std::wstring programDirectory = L"");
  ~MainWindow() override;

  // Creates the window (hidden) and runs the load handler. False when the
  // program must end (the audio library could not start).
  bool Create();
  // The rest of the entry procedure after loading: hides the pop-up menu's
  // top-level entry and shows the window in its restored state.
  void HideRightClickMenu();
  void Show();

  HWND Handle() const { return hwnd_; }
  HWND ListView() const { return listView_; }
  HWND Toolbar() const { return toolbar_; }
  HWND StatusBar() const { return statusBar_; }
  HACCEL Accelerators() const { return accelerators_; }
  ListViewRenameList& RenameEntries() { return *list_; }
  Player& PreviewPlayer() { return *player_; }

  // Adds files in order, as the dialog, a drop and the command line do.
  void AddFiles(const std::vector<std::wstring>& paths);

  // Menu and toolbar commands.
  void mnuOpen_Click();
  void mnuDelete_Click();
  void mnuExecRename_Click();
  void mnuUndoRename_Click();
  void mnuExit_Click();
  void mnuShowToolBar_Click();
  void mnuFlatToolBar_Click();
  void mnuStatus_Click();
  void mnuShowFilenameOnly_Click();
  void mnuPlayerPlay_Click();
  void mnuPlayerStop_Click();
  void mnuPlayerNext_Click();
  void mnuPlayerPrev_Click();
  void mnuPlayerRepeat_Click();
  void mnuOption_Click();
  void mnuVersion_Click();
  void mnuRMProperty_Click();
  void TB_ButtonClick(const std::wstring& key);

  bool IsChecked(int command) const;
  bool IsEnabled(int command) const;

  // PlayerHost
  int EntryCount() const override;
  std::wstring SourcePath(int position) const override;
  int SelectedPosition() const override;
  bool ContinuousPlay() const override;
  void SetPlayerStatus(const std::wstring& text) override;
  void ShowPlayError(const std::wstring& text) override;
  void SetPlayerTimer(bool on) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK ListViewRightButton(HWND list, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                              DWORD_PTR self);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

  bool Form_Load();
  void Form_QueryUnload();
  void Form_Resize();
  void lsvRename_DblClick();
  void lsvRename_MouseUp();
  void tmrPlayer_Timer();

  void CreateMenus();
  void CreateChildren();
  void CreateToolbar();
  void OnCommand(int id);
  LRESULT OnNotify(NMHDR* header);
  void UpdateClock();
  void LayoutStatusBar();
  void SetCheck(int command, bool checked);
  void SetEnabled(int command, bool enabled);
  void ApplyToolbarStyle(bool flat);
  void SetColumnWidths(bool fileNameOnly);
  void OnDropFiles(HDROP drop);
  // The undo command is there to use while a journal of the last run is.
  void ShowUndoAvailable();

  std::wstring programDirectory_;
  HWND hwnd_ = nullptr;
  HWND listView_ = nullptr;
  HWND toolbar_ = nullptr;
  HWND statusBar_ = nullptr;
  HMENU menuBar_ = nullptr;
  HMENU rightClickMenu_ = nullptr;
  // When the pop-up menu last closed, and whether the left button's last
  // press on the list was the click that closed it.
  DWORD menuClosedAt_ = 0;
  bool leftPressFromMenu_ = false;
  HACCEL accelerators_ = nullptr;
  HIMAGELIST toolbarImages_ = nullptr;
  int showCommand_ = SW_SHOWNORMAL;
  bool saved_ = false;
  bool libraryStarted_ = false;
  std::unique_ptr<ListViewRenameList> list_;
  std::unique_ptr<PlayerLibrary> playerLibrary_;
  std::unique_ptr<Player> player_;
  DropTarget* dropTarget_ = nullptr;
};

// Command identifiers of the menu items (also what outside tools post as
// WM_COMMAND to drive the window).
enum MenuCommand : int {
  IDM_OPEN = 101,
  IDM_DELETE = 102,
  IDM_EXECRENAME = 103,
  IDM_EXIT = 104,
  IDM_UNDORENAME = 105,
  IDM_SHOWTOOLBAR = 111,
  IDM_FLATTOOLBAR = 112,
  IDM_STATUS = 113,
  IDM_SHOWFILENAMEONLY = 114,
  IDM_PLAYERPLAY = 121,
  IDM_PLAYERSTOP = 122,
  IDM_PLAYERNEXT = 123,
  IDM_PLAYERPREV = 124,
  IDM_PLAYERREPEAT = 125,
  IDM_OPTION = 126,
  IDM_VERSION = 131,
  IDM_RMPLAYERPLAY = 141,
  IDM_RMPROPERTY = 142,
  // Toolbar buttons, dispatched by their key texts.
  IDT_FIRST = 201,
};
