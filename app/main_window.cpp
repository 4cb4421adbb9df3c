#include "app/main_window.h"

#include <commdlg.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <array>

#include "settings/app_error.h"
#include "settings/setting_value.h"
#include "app/drop_target.h"
#include "win/ini_access.h"
#include "app/about/about_dialog.h"
#include "app/core/dialog_result.h"
#include "settings/settings.h"
#include "audio/player/vbmp3_player_library.h"
#include "audio/property/property_dialog.h"
#include "audio_library/tag_access.h"
#include "audio_library/vbmp3_api.h"
#include "engine/journaled_rename.h"
#include "engine/list_file.h"
#include "engine/rename_entry.h"
#include "engine/rename_run.h"
#include "engine/undo_journal.h"
#include "engine/undo_run.h"
#include "options/dialog/option_dialog.h"
#include "win/command_boundary.h"
#include "win/file_lookup.h"
#include "win/text.h"
#include "win/ui.h"

namespace {

constexpr int kListViewId = 1001;
constexpr int kToolbarId = 1002;
constexpr int kStatusBarId = 1003;
constexpr UINT_PTR kPlayerTimer = 1;  // tmrPlayer
constexpr UINT_PTR kClockTimer = 2;   // the status bar's clock panel

constexpr int kDesignClientWidth = 9690;  // twips
constexpr int kDesignClientHeight = 3960;
constexpr int kColumnWidth = 4800;

constexpr const wchar_t* kWindowSection = L"QKPomeren_SE Window";
constexpr const wchar_t* kSettingSection = L"QKPomeren_SE Setting";

struct ToolbarButton {
  const wchar_t* key;
  const wchar_t* tip;
  int image;  // index in the strip: Open, Delete, ExecRename, play1, stop, prev, next
};

constexpr std::array<ToolbarButton, 7> kButtons{{
    {L"AddFile", L"ファイルを追加 (Ctrl+O)", 0},
    {L"DelFile", L"ファイルを削除 (Del)", 1},
    {L"ExecRename", L"リネーム開始", 2},
    {L"Play", L"再生", 3},
    {L"Stop", L"停止", 4},
    {L"prev", L"前の曲", 5},
    {L"next", L"次の曲", 6},
}};

std::wstring FileDialogFilter() {
  // Descriptions and patterns alternate; "すべてのファイル" gets "*.*".
  std::wstring filter =
      L"対応しているすべてのファイル|*.mp1;*.mp3;*.mp3;*.rmp;*.wav|MPEG オーディオ(*.mp1;*.mp3;*.mp3)|"
      L"*.mp1;*.mp3;*.mp3|RIFF 形式 MP3 オーディオ(*.rmp)|*.rmp|Wave オーディオ(*.wav)|*.wav|"
      L"すべてのファイル|*.*|";
  for (wchar_t& c : filter)
    if (c == L'|') c = L'\0';
  return filter;
}

}  // namespace

MainWindow::MainWindow(std::wstring programDirectory)
    : programDirectory_(std::move(programDirectory)) {}

MainWindow::~MainWindow() {
  if (dropTarget_) dropTarget_->Release();
  if (accelerators_) DestroyAcceleratorTable(accelerators_);
  if (rightClickMenu_ && !GetMenu(hwnd_)) DestroyMenu(rightClickMenu_);
}

bool MainWindow::Create() {
  static bool registered = [] {
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
    if (!wc.hIcon) wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hIconSm = wc.hIcon;
    return RegisterClassExW(&wc) != 0;
  }();
  if (!registered) return false;
  CreateMenus();
  hwnd_ = CreateWindowExW(0, kClassName, kCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                          CW_USEDEFAULT, CW_USEDEFAULT, 600, 400, nullptr, menuBar_,
                          GetModuleHandleW(nullptr), this);
  if (!hwnd_) return false;
  CreateChildren();
  win::PlaceCentred(hwnd_, nullptr, kDesignClientWidth, kDesignClientHeight);
  if (!Form_Load()) {
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    return false;
  }
  // Opens centred on the screen at whatever size the settings gave.
  RECT r;
  GetWindowRect(hwnd_, &r);
  RECT area;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  SetWindowPos(hwnd_, nullptr, area.left + ((area.right - area.left) - (r.right - r.left)) / 2,
               area.top + ((area.bottom - area.top) - (r.bottom - r.top)) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

void MainWindow::CreateMenus() {
  auto item = [](HMENU menu, int id, const wchar_t* caption) {
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(id), caption);
  };
  auto separator = [](HMENU menu) { AppendMenuW(menu, MF_SEPARATOR, 0, nullptr); };
  auto popup = [](HMENU bar, HMENU menu, const wchar_t* caption) {
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), caption);
  };

  menuBar_ = CreateMenu();
  HMENU file = CreatePopupMenu();
  item(file, IDM_OPEN, L"ファイルを追加(&O)...\tCtrl+O");
  item(file, IDM_DELETE, L"ファイルを削除(&D)\tDel");
  separator(file);
  item(file, IDM_EXECRENAME, L"リネーム開始(&S)");
  item(file, IDM_UNDORENAME, L"直前のリネームを元に戻す(&U)");
  separator(file);
  item(file, IDM_EXIT, L"終了(&X)");
  popup(menuBar_, file, L"ファイル(&F)");

  HMENU view = CreatePopupMenu();
  HMENU toolbar = CreatePopupMenu();
  item(toolbar, IDM_SHOWTOOLBAR, L"表示(&V)");
  item(toolbar, IDM_FLATTOOLBAR, L"フラット(&F)");
  popup(view, toolbar, L"ツールバー(&T)");
  item(view, IDM_STATUS, L"ステータスバー(&S)");
  separator(view);
  item(view, IDM_SHOWFILENAMEONLY, L"ファイル名だけで表示");
  popup(menuBar_, view, L"表示(&V)");

  HMENU tool = CreatePopupMenu();
  HMENU player = CreatePopupMenu();
  item(player, IDM_PLAYERPLAY, L"再生(&P)");
  item(player, IDM_PLAYERSTOP, L"停止(&S)");
  separator(player);
  item(player, IDM_PLAYERNEXT, L"次の曲(&N)");
  item(player, IDM_PLAYERPREV, L"前の曲(&L)");
  separator(player);
  item(player, IDM_PLAYERREPEAT, L"連続再生(&R)");
  popup(tool, player, L"プレイヤー(&P)");
  separator(tool);
  item(tool, IDM_OPTION, L"オプション(&O)...");
  popup(menuBar_, tool, L"ツール(&T)");

  HMENU help = CreatePopupMenu();
  item(help, IDM_VERSION, L"バージョン情報(&V)...");
  popup(menuBar_, help, L"ヘルプ(&H)");

  rightClickMenu_ = CreatePopupMenu();
  item(rightClickMenu_, IDM_RMPLAYERPLAY, L"再生(&L)");
  item(rightClickMenu_, IDM_RMPROPERTY, L"プロパティ(&P)");
  popup(menuBar_, rightClickMenu_, L"右クリックメニュー");

  CheckMenuItem(menuBar_, IDM_SHOWTOOLBAR, MF_BYCOMMAND | MF_CHECKED);
  CheckMenuItem(menuBar_, IDM_STATUS, MF_BYCOMMAND | MF_CHECKED);

  ACCEL keys[] = {
      {FCONTROL | FVIRTKEY, 'O', IDM_OPEN},
      {FVIRTKEY, VK_DELETE, IDM_DELETE},
  };
  accelerators_ = CreateAcceleratorTableW(keys, 2);
}

void MainWindow::HideRightClickMenu() {
  // The menu stays alive as the list's pop-up; only its bar entry goes.
  int count = GetMenuItemCount(menuBar_);
  for (int i = 0; i < count; ++i) {
    if (GetSubMenu(menuBar_, i) == rightClickMenu_) {
      RemoveMenu(menuBar_, static_cast<UINT>(i), MF_BYPOSITION);
      break;
    }
  }
  DrawMenuBar(hwnd_);
}

void MainWindow::CreateToolbar() {
  toolbar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                             WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | CCS_TOP,
                             0, 0, 0, 0, hwnd_, reinterpret_cast<HMENU>(kToolbarId),
                             GetModuleHandleW(nullptr), nullptr);
  SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  // The pictures are drawn at 16, 24 and 32 pixels; the screen's scale picks
  // one, so that they keep their size beside the text without blurring.
  const int dpi = win::ScreenDpi();
  const int size = dpi >= 192 ? 32 : dpi >= 144 ? 24 : 16;
  const wchar_t* strip = size == 32 ? L"TBIMAGES32" : size == 24 ? L"TBIMAGES24" : L"TBIMAGES";
  toolbarImages_ = ImageList_LoadImageW(GetModuleHandleW(nullptr), strip, size, 0, RGB(0xC0, 0xC0, 0xC0),
                                        IMAGE_BITMAP, LR_CREATEDIBSECTION);
  SendMessageW(toolbar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(size, size));
  SendMessageW(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(toolbarImages_));
  std::vector<TBBUTTON> buttons;
  for (size_t i = 0; i < kButtons.size(); ++i) {
    TBBUTTON b{};
    b.iBitmap = toolbarImages_ ? kButtons[i].image : I_IMAGENONE;
    b.idCommand = IDT_FIRST + static_cast<int>(i);
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = BTNS_BUTTON;
    b.iString = -1;
    buttons.push_back(b);
    if (i == 1 || i == 2) {
      TBBUTTON gap{};
      gap.fsStyle = BTNS_SEP;
      buttons.push_back(gap);
    }
  }
  SendMessageW(toolbar_, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
}

void MainWindow::CreateChildren() {
  CreateToolbar();
  statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP,
                               0, 0, 0, 0, hwnd_, reinterpret_cast<HMENU>(kStatusBarId),
                               GetModuleHandleW(nullptr), nullptr);
  listView_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, nullptr,
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                                  LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                              0, 0, 100, 100, hwnd_, reinterpret_cast<HMENU>(kListViewId),
                              GetModuleHandleW(nullptr), nullptr);
  ListView_SetExtendedListViewStyle(listView_, LVS_EX_FULLROWSELECT);
  SetWindowSubclass(listView_, ListViewRightButton, 0, reinterpret_cast<DWORD_PTR>(this));
  const wchar_t* captions[] = {L"元ファイル名(フルパス)", L"リネーム後ファイル名(フルパス)",
                               L"元ファイル名(ファイル名のみ)", L"リネーム後ファイル名(ファイル名のみ)"};
  for (int i = 0; i < 4; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(captions[i]);
    column.cx = i < 2 ? win::TwipsToPixelsX(kColumnWidth) : 0;
    column.iSubItem = i;
    ListView_InsertColumn(listView_, i, &column);
  }
  list_ = std::make_unique<ListViewRenameList>(listView_, statusBar_);
  playerLibrary_ = std::make_unique<Vbmp3PlayerLibrary>();
  player_ = std::make_unique<Player>(*playerLibrary_, *this);

  LayoutStatusBar();
  SendMessageW(statusBar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"項目数：0"));
  SendMessageW(statusBar_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"停止"));
  UpdateClock();
  SetTimer(hwnd_, kClockTimer, 1000, nullptr);

  dropTarget_ = new DropTarget([this](const std::vector<std::wstring>& paths) { AddFiles(paths); });
  RegisterDragDrop(listView_, dropTarget_);
  DragAcceptFiles(hwnd_, TRUE);
}

bool MainWindow::Form_Load() {
  // Without the audio library the program cannot do anything it is for.
  if (!LoadVbmp3() || !Vbmp3Succeeded(g_vbmp3.init())) {
    win::MessageBoxText(nullptr, L"VBMP3の初期化に失敗しました。起動できません。",
                        MB_OK | MB_ICONSTOP, L"DLL操作エラー");
    return false;
  }
  libraryStarted_ = true;

  // Each step stands alone: a value that cannot be applied is skipped.
  auto step = [](auto&& body) {
    try {
      body();
    } catch (...) {
    }
  };
  INIAccess ini;
  ini.SetAppPathFilename(L"velnoir.ini", programDirectory_);
  ini.Section = kWindowSection;
  auto read = [&ini](const wchar_t* key) { return ini.GetINIData(key, L""); };

  step([&] { if (read(L"LastToolBarVisible") == L"0") mnuShowToolBar_Click(); });
  step([&] { if (read(L"LastToolBarStyleFlat") == L"1") mnuFlatToolBar_Click(); });
  step([&] { if (read(L"LastStatusBarVisible") == L"0") mnuStatus_Click(); });
  step([&] {
    std::wstring value = read(L"LastWindowState");
    if (value.empty()) return;
    auto state = ParseInt16Setting(value);
    if (!state) return;
    if (*state == 0) showCommand_ = SW_SHOWNORMAL;
    if (*state == 1) showCommand_ = SW_SHOWMINIMIZED;
    if (*state == 2) showCommand_ = SW_SHOWMAXIMIZED;
  });
  step([&] {
    if (read(L"UpChkShow") != L"1") return;
    win::ProgramVersion v = win::GetProgramVersion();
    if (auto build = BuildNumber(v.major, v.minor, v.revision))
      win::SetText(hwnd_, win::GetText(hwnd_) + L" [カネナリbuild:" + std::to_wstring(*build) + L"]");
  });
  step([&] { if (read(L"LastShowFilenameOnly") == L"1") mnuShowFilenameOnly_Click(); });
  // The stored size is the normal-state size; the window is still hidden
  // and normal here, so it applies whatever state the window opens in.
  auto applySize = [&](const wchar_t* key, bool width) {
    std::wstring value = read(key);
    if (value.empty()) return;
    auto twips = ParseInt16Setting(value);
    if (!twips || *twips <= 0) return;
    RECT r;
    GetWindowRect(hwnd_, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    (width ? w : h) = width ? win::TwipsToPixelsX(*twips) : win::TwipsToPixelsY(*twips);
    SetWindowPos(hwnd_, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  };
  step([&] { applySize(L"Width", true); });
  step([&] { applySize(L"Height", false); });

  step([&] {
    ini.Section = kSettingSection;
    auto integer = [&](const wchar_t* key) -> int16_t {
      std::wstring value = read(key);
      if (value.empty()) return 0;
      return ParseInt16Setting(value).value_or(0);
    };
    g_settings.CantUseFilename = integer(L"CantUseFilename");
    g_settings.DataProve = read(L"DataProve") == L"1";
    g_settings.EqualFileName = integer(L"EqualFileName");
    g_settings.NoSettingField = integer(L"NoSettingField");
    std::wstring templ = read(L"RenameExt_Default");
    g_settings.RenameExt_Default = templ.empty() ? kDefaultTemplate : templ;
    g_settings.DobleClick = integer(L"DobleClick");
    g_settings.PreferID3v2 = read(L"PreferID3v2") == L"1";
  });
  step([&] { LoadListFile(hwnd_, programDirectory_); });
  ShowUndoAvailable();
  return true;
}

void MainWindow::Form_QueryUnload() {
  if (saved_) return;
  saved_ = true;
  INIAccess ini;
  ini.SetAppPathFilename(L"velnoir.ini", programDirectory_);
  ini.Section = kWindowSection;
  auto write = [&ini](const wchar_t* key, const std::wstring& value) {
    ini.SetINIData(key, value, L"");
  };
  auto flag = [this](int command) { return std::wstring(IsChecked(command) ? L"1" : L"0"); };
  int state = IsIconic(hwnd_) ? 1 : IsZoomed(hwnd_) ? 2 : 0;
  write(L"LastWindowState", std::to_wstring(state));
  write(L"LastToolBarVisible", flag(IDM_SHOWTOOLBAR));
  write(L"LastToolBarStyleFlat", flag(IDM_FLATTOOLBAR));
  write(L"LastStatusBarVisible", flag(IDM_STATUS));
  write(L"LastShowFilenameOnly", flag(IDM_SHOWFILENAMEONLY));
  // The normal-state size, whatever the state: a window minimised from the
  // maximised state would be restored maximised, and restoring would show it.
  WINDOWPLACEMENT placement{sizeof(placement)};
  GetWindowPlacement(hwnd_, &placement);
  const RECT& r = placement.rcNormalPosition;
  write(L"Width", std::to_wstring(win::PixelsToTwipsX(r.right - r.left)));
  write(L"Height", std::to_wstring(win::PixelsToTwipsY(r.bottom - r.top)));
  ini.Section = kSettingSection;
  write(L"CantUseFilename", std::to_wstring(g_settings.CantUseFilename));
  write(L"DataProve", g_settings.DataProve ? L"1" : L"0");
  write(L"EqualFileName", std::to_wstring(g_settings.EqualFileName));
  write(L"NoSettingField", std::to_wstring(g_settings.NoSettingField));
  write(L"RenameExt_Default", g_settings.RenameExt_Default);
  write(L"DobleClick", std::to_wstring(g_settings.DobleClick));
  write(L"PreferID3v2", g_settings.PreferID3v2 ? L"1" : L"0");
  // The close goes on whatever happens to the list file: the user is told,
  // the library is still released.
  win::RunCommand(hwnd_, [&] {
    if (SaveListFile(programDirectory_) == ListFileSave::kEditsLost)
      win::MessageBoxText(hwnd_,
                          L"リストファイルを読み込めなかったため、テンプレートの変更は保存されませんでした。\r\n" +
                              ListFilePath(programDirectory_),
                          MB_OK | MB_ICONEXCLAMATION);
  });
  if (libraryStarted_ && g_vbmp3.free) g_vbmp3.free();
  libraryStarted_ = false;
}

void MainWindow::Form_Resize() {
  if (!listView_) return;
  RECT client;
  GetClientRect(hwnd_, &client);
  auto heightOf = [](HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    return static_cast<int>(r.bottom - r.top);
  };
  int top = IsChecked(IDM_SHOWTOOLBAR) ? heightOf(toolbar_) : 0;
  int reserved = 0;
  if (IsChecked(IDM_STATUS)) reserved += heightOf(statusBar_);
  if (IsChecked(IDM_SHOWTOOLBAR)) reserved += heightOf(toolbar_);
  RECT current;
  GetWindowRect(listView_, &current);
  int height = current.bottom - current.top;
  // While minimised (or squeezed to nothing) the list keeps its height.
  if (win::PixelsToTwipsY(client.bottom) - win::PixelsToTwipsY(reserved) > 1)
    height = client.bottom - reserved;
  MoveWindow(listView_, 0, top, client.right, height, TRUE);
}

void MainWindow::Show() {
  HideRightClickMenu();
  ShowWindow(hwnd_, showCommand_);
  UpdateWindow(hwnd_);
}

bool MainWindow::IsChecked(int command) const {
  return (GetMenuState(menuBar_, static_cast<UINT>(command), MF_BYCOMMAND) & MF_CHECKED) != 0;
}

bool MainWindow::IsEnabled(int command) const {
  HMENU menu = command >= IDM_RMPLAYERPLAY ? rightClickMenu_ : menuBar_;
  return (GetMenuState(menu, static_cast<UINT>(command), MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
}

void MainWindow::SetCheck(int command, bool checked) {
  CheckMenuItem(menuBar_, static_cast<UINT>(command), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void MainWindow::SetEnabled(int command, bool enabled) {
  HMENU menu = command >= IDM_RMPLAYERPLAY ? rightClickMenu_ : menuBar_;
  EnableMenuItem(menu, static_cast<UINT>(command), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
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

void MainWindow::mnuShowToolBar_Click() {
  bool show = !IsChecked(IDM_SHOWTOOLBAR);
  SetCheck(IDM_SHOWTOOLBAR, show);
  SetEnabled(IDM_FLATTOOLBAR, show);
  ShowWindow(toolbar_, show ? SW_SHOW : SW_HIDE);
  Form_Resize();
}

void MainWindow::mnuFlatToolBar_Click() {
  bool flat = !IsChecked(IDM_FLATTOOLBAR);
  SetCheck(IDM_FLATTOOLBAR, flat);
  ApplyToolbarStyle(flat);
  Form_Resize();
}

void MainWindow::mnuStatus_Click() {
  bool show = !IsChecked(IDM_STATUS);
  SetCheck(IDM_STATUS, show);
  ShowWindow(statusBar_, show ? SW_SHOW : SW_HIDE);
  Form_Resize();
}

void MainWindow::mnuShowFilenameOnly_Click() {
  bool only = !IsChecked(IDM_SHOWFILENAMEONLY);
  SetCheck(IDM_SHOWFILENAMEONLY, only);
  SetColumnWidths(only);
}

void MainWindow::AddFiles(const std::vector<std::wstring>& paths) {
  AddRenameEntries(*list_, paths);
}

void MainWindow::mnuOpen_Click() {
  // Room for a long multiple selection: the dialog reports a too-small
  // buffer as a failure, which would end the command quietly.
  std::vector<wchar_t> buffer(1 << 16, L'\0');
  std::wstring filter = FileDialogFilter();
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = hwnd_;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrTitle = L"ファイルの追加";
  ofn.Flags = OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST |
              OFN_NOREADONLYRETURN | OFN_EXPLORER | OFN_LONGNAMES;
  if (!GetOpenFileNameW(&ofn)) return;
  try {
    // The result runs to the double NUL: a full path, or a folder followed
    // by the chosen names, each ended by a NUL.
    size_t end = 0;
    while (end + 1 < buffer.size() && !(buffer[end] == L'\0' && buffer[end + 1] == L'\0')) ++end;
    std::wstring result(buffer.data(), end);
    AddFiles(SplitDialogResult(result, win::NormalFileExists));
  } catch (...) {
  }
}

void MainWindow::mnuDelete_Click() {
  int count = list_->Count();
  int selected = list_->Selected();
  if (count == 0 || selected == 0) return;
  player_->BeforeRemove(selected, count);
  list_->Remove(selected);
  list_->ShowItemCount();
}

void MainWindow::mnuExecRename_Click() {
  // However the run ends, the menu shows whether it left a journal.
  struct Refresh {
    MainWindow* window;
    ~Refresh() { window->ShowUndoAvailable(); }
  } refresh{this};
  RunJournaledRename(hwnd_, *list_, programDirectory_);
}

void MainWindow::mnuUndoRename_Click() {
  struct Refresh {
    MainWindow* window;
    ~Refresh() { window->ShowUndoAvailable(); }
  } refresh{this};
  RunUndo(hwnd_, JournalPathIn(programDirectory_));
}

void MainWindow::ShowUndoAvailable() {
  SetEnabled(IDM_UNDORENAME, JournalExists(JournalPathIn(programDirectory_)));
}

void MainWindow::mnuExit_Click() {
  SendMessageW(hwnd_, WM_CLOSE, 0, 0);
  ExitProcess(0);
}

void MainWindow::mnuPlayerPlay_Click() { player_->Play(); }
void MainWindow::mnuPlayerStop_Click() { player_->Stop(); }
void MainWindow::mnuPlayerNext_Click() { player_->Next(); }
void MainWindow::mnuPlayerPrev_Click() { player_->Previous(); }
void MainWindow::mnuPlayerRepeat_Click() { SetCheck(IDM_PLAYERREPEAT, !IsChecked(IDM_PLAYERREPEAT)); }
void MainWindow::mnuOption_Click() { ShowOptionsDialog(hwnd_); }
void MainWindow::mnuVersion_Click() { ShowAboutDialog(hwnd_); }

void MainWindow::mnuRMProperty_Click() {
  if (list_->Count() == 0 || list_->Selected() == 0) return;
  ShowPropertyDialog(hwnd_, *list_);
}

void MainWindow::TB_ButtonClick(const std::wstring& key) {
  if (key == L"AddFile") mnuOpen_Click();
  else if (key == L"DelFile") mnuDelete_Click();
  else if (key == L"ExecRename") mnuExecRename_Click();
  else if (key == L"Play") mnuPlayerPlay_Click();
  else if (key == L"Stop") mnuPlayerStop_Click();
  else if (key == L"prev") mnuPlayerPrev_Click();
  else if (key == L"next") mnuPlayerNext_Click();
}

void MainWindow::lsvRename_DblClick() {
  if (list_->Count() == 0 || list_->Selected() == 0) return;
  if (g_settings.DobleClick != 0) {
    mnuPlayerPlay_Click();
  } else {
    mnuRMProperty_Click();
  }
}

// The list's right button is handled here, not by the list view: the list
// view follows a press in a loop of its own that takes a drag for granted
// when the mouse capture goes elsewhere meanwhile, which happens as a pop-up
// menu closes, and then never reports the click. The press selects the entry
// under the mouse (or none) as the list view would; the release, with its own
// record of which buttons are held, opens the pop-up menu.
LRESULT CALLBACK MainWindow::ListViewRightButton(HWND list, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                                 DWORD_PTR self) {
  auto* window = reinterpret_cast<MainWindow*>(self);
  switch (msg) {
    case WM_RBUTTONDOWN: {
      SetFocus(list);
      LVHITTESTINFO hit{};
      hit.pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      int item = ListView_SubItemHitTest(list, &hit);
      if (item >= 0) window->list_->Select(item + 1);
      else ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
      return 0;
    }
    case WM_RBUTTONUP:
      if ((wp & (MK_LBUTTON | MK_MBUTTON)) == 0)
        win::RunCommand(window->hwnd_, [&] { window->lsvRename_MouseUp(); });
      return 0;
    case WM_NCDESTROY:
      RemoveWindowSubclass(list, ListViewRightButton, 0);
      break;
  }
  return DefSubclassProc(list, msg, wp, lp);
}

void MainWindow::lsvRename_MouseUp() {
  bool empty = list_->Count() == 0;
  if (empty) {
    SetEnabled(IDM_RMPROPERTY, false);
    SetEnabled(IDM_RMPLAYERPLAY, false);
  }
  POINT at;
  GetCursorPos(&at);
  int chosen = static_cast<int>(TrackPopupMenu(rightClickMenu_, TPM_RETURNCMD | TPM_RIGHTBUTTON,
                                               at.x, at.y, 0, hwnd_, nullptr));
  SetEnabled(IDM_RMPROPERTY, true);
  SetEnabled(IDM_RMPLAYERPLAY, true);
  if (chosen) OnCommand(chosen);
}

void MainWindow::tmrPlayer_Timer() { player_->Tick(); }

int MainWindow::EntryCount() const { return list_->Count(); }
std::wstring MainWindow::SourcePath(int position) const { return list_->Get(position).source; }
int MainWindow::SelectedPosition() const { return list_->Selected(); }
bool MainWindow::ContinuousPlay() const { return IsChecked(IDM_PLAYERREPEAT); }

void MainWindow::SetPlayerStatus(const std::wstring& text) {
  SendMessageW(statusBar_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(text.c_str()));
}

void MainWindow::ShowPlayError(const std::wstring& text) {
  win::MessageBoxText(hwnd_, text, MB_OK);
}

void MainWindow::SetPlayerTimer(bool on) {
  if (on) {
    SetTimer(hwnd_, kPlayerTimer, 1000, nullptr);
  } else {
    KillTimer(hwnd_, kPlayerTimer);
  }
}

void MainWindow::LayoutStatusBar() {
  if (!statusBar_) return;
  SendMessageW(statusBar_, WM_SIZE, 0, 0);
  RECT r;
  GetClientRect(hwnd_, &r);
  // Item count and clock keep their widths; the player state takes the rest.
  int parts[3] = {win::TwipsToPixelsX(1800), 0, -1};
  parts[1] = std::max(parts[0] + 1, static_cast<int>(r.right) - win::TwipsToPixelsX(1200));
  SendMessageW(statusBar_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
}

void MainWindow::UpdateClock() {
  wchar_t text[64] = {};
  GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, nullptr, nullptr, text, 64);
  SendMessageW(statusBar_, SB_SETTEXTW, 2, reinterpret_cast<LPARAM>(text));
}

void MainWindow::OnDropFiles(HDROP drop) {
  std::vector<std::wstring> paths = PathsOfDrop(drop);
  DragFinish(drop);
  AddFiles(paths);
}

void MainWindow::OnCommand(int id) {
  win::RunCommand(hwnd_, [&] {
    switch (id) {
      case IDM_OPEN: mnuOpen_Click(); break;
      case IDM_DELETE: mnuDelete_Click(); break;
      case IDM_EXECRENAME: mnuExecRename_Click(); break;
      case IDM_UNDORENAME: mnuUndoRename_Click(); break;
      case IDM_EXIT: mnuExit_Click(); break;
      case IDM_SHOWTOOLBAR: mnuShowToolBar_Click(); break;
      case IDM_FLATTOOLBAR: mnuFlatToolBar_Click(); break;
      case IDM_STATUS: mnuStatus_Click(); break;
      case IDM_SHOWFILENAMEONLY: mnuShowFilenameOnly_Click(); break;
      case IDM_PLAYERPLAY:
      case IDM_RMPLAYERPLAY: mnuPlayerPlay_Click(); break;
      case IDM_PLAYERSTOP: mnuPlayerStop_Click(); break;
      case IDM_PLAYERNEXT: mnuPlayerNext_Click(); break;
      case IDM_PLAYERPREV: mnuPlayerPrev_Click(); break;
      case IDM_PLAYERREPEAT: mnuPlayerRepeat_Click(); break;
      case IDM_OPTION: mnuOption_Click(); break;
      case IDM_VERSION: mnuVersion_Click(); break;
      case IDM_RMPROPERTY: mnuRMProperty_Click(); break;
      default:
        if (id >= IDT_FIRST && id < IDT_FIRST + static_cast<int>(kButtons.size()))
          TB_ButtonClick(kButtons[static_cast<size_t>(id - IDT_FIRST)].key);
    }
  });
}

LRESULT MainWindow::OnNotify(NMHDR* header) {
  if (header->hwndFrom == listView_) {
    switch (header->code) {
      case LVN_GETDISPINFOW:
        list_->OnGetDispInfo(reinterpret_cast<NMLVDISPINFOW*>(header));
        return 0;
      case NM_DBLCLK:
        win::RunCommand(hwnd_, [&] { lsvRename_DblClick(); });
        return 0;
      case NM_RCLICK: {
        // A right click reported without a release of its own: the buttons
        // held now decide, not the thread's record of them, which can go on
        // showing the left button held after a pop-up menu took a click.
        const int left = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
        if ((GetAsyncKeyState(left) | GetAsyncKeyState(VK_MBUTTON)) & 0x8000) return 1;
        win::RunCommand(hwnd_, [&] { lsvRename_MouseUp(); });
        return 1;
      }
    }
  }
  if (header->code == TTN_GETDISPINFOW) {
    auto* tip = reinterpret_cast<NMTTDISPINFOW*>(header);
    int id = static_cast<int>(header->idFrom);
    if (id >= IDT_FIRST && id < IDT_FIRST + static_cast<int>(kButtons.size())) {
      tip->lpszText = const_cast<wchar_t*>(kButtons[static_cast<size_t>(id - IDT_FIRST)].tip);
      tip->hinst = nullptr;
    }
    return 0;
  }
  return 0;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  MainWindow* self;
  if (msg == WM_NCCREATE) {
    self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  return self->HandleMessage(msg, wp, lp);
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wp));
      return 0;
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<NMHDR*>(lp));
    case WM_SIZE:
      if (toolbar_) SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
      LayoutStatusBar();
      Form_Resize();
      return 0;
    case WM_TIMER:
      if (wp == kPlayerTimer) win::RunCommand(hwnd_, [&] { tmrPlayer_Timer(); });
      if (wp == kClockTimer) UpdateClock();
      return 0;
    case WM_DROPFILES:
      win::RunCommand(hwnd_, [&] { OnDropFiles(reinterpret_cast<HDROP>(wp)); });
      return 0;
    case WM_CLOSE:
      // The close is never refused.
      Form_QueryUnload();
      DestroyWindow(hwnd_);
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wp) Form_QueryUnload();
      return 0;
    case WM_DESTROY:
      KillTimer(hwnd_, kClockTimer);
      KillTimer(hwnd_, kPlayerTimer);
      RevokeDragDrop(listView_);
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}
