// The main window: the rename list with its menus, toolbar and status bar,
// the view state and the preview player. Its code is split by what it does:
// main_window.cpp (creation, messages, the player's host), main_menu.cpp,
// main_toolbar.cpp, view_commands.cpp, list_commands.cpp, window_layout.cpp
// and stored_view.cpp (start and close: the settings and list files).
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "app/list/rename_list_view.h"
#include "app/view_state.h"
#include "engine/list_file.h"
#include "settings/preferences.h"
#include "audio/player/player.h"
#include "settings/window_settings.h"
#include "win/handles.h"
#include "win/window.h"

class BackgroundAdd;
class DropTarget;

class MainWindow : public win::Window, public PlayerHost {
 public:
  static constexpr const wchar_t* kClassName = L"VelnoirMainWindow";
  static constexpr const wchar_t* kCaption = L"MP3 Velnoir ぽめろ";

  // What the main window needs of its thread before it is created: the
  // common controls, and OLE for drag and drop of file lists. Once per
  // thread; the thread calls OleUninitialize when it is done.
  static void PrepareThread();

  // programDirectory: where the settings and list files live (the exe's
  // folder unless a test says otherwise).
  explicit MainWindow(std::wstring programDirectory = L"");
  ~MainWindow() override;

  // Creates the window (hidden) and loads the settings into it. False when
  // the program must end (the audio library could not start).
  bool Create();
  // Shows the window in the state the settings file gave.
  void Show();

  HWND ListView() const { return listView_; }
  HWND Toolbar() const { return toolbar_; }
  HWND StatusBar() const { return statusBar_; }
  HACCEL Accelerators() const { return accelerators_.Get(); }
  ListViewRenameList& RenameEntries() { return *list_; }
  // The settings and the template list, loaded at start and saved at close.
  Preferences& UserPreferences() { return preferences_; }
  Player& PreviewPlayer() { return *player_; }

  // Adds files in order, as the dialog and a drop do; a folder among them
  // brings in the audio files beneath it. The tags are read on a worker
  // thread: the entries arrive in batches through the message loop.
  void AddFiles(const std::vector<std::wstring>& paths);
  // The same with the command line's rule: names that are neither a folder
  // nor an existing file are left out.
  void AddCommandLineFiles(const std::vector<std::wstring>& paths);
  // Whether an add is going on; Esc (IDM_STOPADD) ends it early.
  bool Adding() const;
  void StopAdding();
  // Test and benchmark hook: a pause before each file is read.
  void SetAddDelayPerFile(DWORD milliseconds) { delayPerFile_ = milliseconds; }

  // Menu and toolbar commands.
  void OnOpenClick();
  void OnOpenFolderClick();
  void OnDeleteClick();
  void OnExecRenameClick();
  void OnUndoRenameClick();
  void OnExitClick();
  void OnShowToolBarClick();
  void OnFlatToolBarClick();
  void OnStatusBarClick();
  void OnShowFilenameOnlyClick();
  void OnPlayerPlayClick();
  void OnPlayerStopClick();
  void OnPlayerNextClick();
  void OnPlayerPreviousClick();
  void OnPlayerRepeatClick();
  void OnOptionsClick();
  void OnVersionClick();
  void OnPropertiesClick();

  const ViewState& View() const { return view_; }
  // What the menus show: an item's check mark, and whether it can be chosen.
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
  static constexpr int kListViewId = 1001;
  static constexpr int kToolbarId = 1002;
  static constexpr int kStatusBarId = 1003;
  static constexpr UINT_PTR kPlayerTimer = 1;
  static constexpr UINT_PTR kClockTimer = 2;       // the status bar's clock panel
  static constexpr int kDesignClientWidth = 9690;  // twips
  static constexpr int kDesignClientHeight = 3960;
  static constexpr int kColumnWidth = 4800;
  static constexpr UINT kAddReadyMessage = WM_APP + 1;

  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  static bool OtherButtonHeld(WPARAM keys, bool ignoreLeft);
  static LRESULT CALLBACK ListViewRightButton(HWND list, UINT msg, WPARAM wp, LPARAM lp,
                                              UINT_PTR id, DWORD_PTR self);

  // Window messages.
  void OnCreate();
  void OnClose();
  void OnSize();
  void OnDestroy();
  // Runs a command of the table, unless it waits for an add going on.
  void OnCommand(int id);
  bool WaitsNow(int id) const;
  LRESULT OnNotify(NMHDR* header);
  void OnListDoubleClick();
  void OnListRightButtonUp();
  // The pop-up menu for the keyboard (Shift+F10, the menu key): at the
  // focused entry.
  void OnListContextKey();
  void ShowListPopup(POINT screenAt);
  void OnListKeyDown(WORD key);
  void OnColumnClick(int column);
  void OnDropFiles(HDROP drop);
  void StartAdd(const std::vector<std::wstring>& paths, bool existingOnly);
  void OnAddReady();
  void ShowAdding(bool adding);

  // Creation.
  void CreateMenus();
  void CreateToolbar();
  void CreateStatusBar();
  void CreateListView();

  // Start and close: the audio library, the settings file (the view it
  // stores is applied at start and read back at close) and the list file.
  bool LoadAtStart();
  void SaveAtClose();
  void ApplyStoredView(const WindowSettings& stored);
  void ApplyStoredSize(int twips, bool width);
  void ShowBuildNumber();
  WindowSettings CurrentView() const;
  void SaveListFileTellingLoss();

  // The tip of the toolbar button that runs command; null for none.
  static const wchar_t* ToolbarTip(int command);

  void UpdateClock();
  void LayoutStatusBar();
  // The list fills what the bars leave; the view commands call it too.
  void LayoutList();
  // Makes the bars, the columns, the layout and the menus' check marks what
  // view_ says.
  void ShowView();
  HMENU MenuOf(int command) const;
  void SetCheck(int command, bool checked);
  void SetEnabled(int command, bool enabled);
  void ApplyToolbarStyle(bool flat);
  void SetColumnWidths(bool fileNameOnly);
  // The undo command is there to use while a journal of the last run is.
  void ShowUndoAvailable();
  struct UndoRefresh;

  std::wstring programDirectory_;
  Preferences preferences_;
  ListFile listFile_;
  HWND listView_ = nullptr;
  HWND toolbar_ = nullptr;
  HWND statusBar_ = nullptr;
  HMENU menuBar_ = nullptr;        // the window's; goes with it
  win::OwnedMenu rightClickMenu_;  // the list's pop-up, never on the bar
  ViewState view_;
  // When the pop-up menu last closed, and whether the left button's last
  // press on the list was the click that closed it.
  DWORD menuClosedAt_ = 0;
  bool leftPressFromMenu_ = false;
  win::OwnedAcceleratorTable accelerators_;
  win::OwnedImageList toolbarImages_;
  int showCommand_ = SW_SHOWNORMAL;
  bool saved_ = false;
  bool libraryStarted_ = false;
  std::unique_ptr<ListViewRenameList> list_;
  std::unique_ptr<PlayerLibrary> playerLibrary_;
  std::unique_ptr<Player> player_;
  DropTarget* dropTarget_ = nullptr;
  DWORD delayPerFile_ = 0;
  // Last, so it goes first: its worker is stopped and joined before the
  // list and the library it uses.
  std::unique_ptr<BackgroundAdd> adder_;
};

// Command identifiers of the menu items (also what outside tools post as
// WM_COMMAND to drive the window).
enum MenuCommand : int {
  IDM_OPEN = 101,
  IDM_DELETE = 102,
  IDM_EXECRENAME = 103,
  IDM_EXIT = 104,
  IDM_UNDORENAME = 105,
  IDM_OPENFOLDER = 106,
  IDM_STOPADD = 107,
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
};
