// The main window in the test's own process: start-up from the settings
// file, the view commands and layout, the save at close, and the list
// commands that need no dialog.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <memory>

#include "app/drop_target.h"
#include "app/main_window.h"
#include "tests/support/test_files.h"
#include "win/text.h"
#include "win/ui.h"

using testing_files::ReadBytes;
using testing_files::ScratchFolder;
using testing_files::WriteBytes;

namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { MainWindow::PrepareThread(); }

  void SetUp() override {
    folder_ = std::make_unique<ScratchFolder>(L"main");
    // The template list lives beside the settings; with it present no
    // first-run message interrupts the tests.
    WriteBytes(*folder_ / L"velnoir.lst", kTemplates);
  }

  static constexpr const char* kTemplates = "%A - %T\r\n(%A) %T\r\n";

  void WriteIni(const std::wstring& text) {
    WriteBytes(*folder_ / L"velnoir.ini", win::ToAnsi(text));
  }
  std::string Ini() const { return ReadBytes(*folder_ / L"velnoir.ini"); }

  std::unique_ptr<MainWindow> Open() {
    auto window = std::make_unique<MainWindow>(folder_->Path());
    EXPECT_TRUE(window->Create());
    return window;
  }

  void Close(MainWindow& window) {
    SendMessageW(window.Handle(), WM_CLOSE, 0, 0);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) break;
      DispatchMessageW(&msg);
    }
  }

  static int ColumnWidth(const MainWindow& w, int column) {
    return ListView_GetColumnWidth(w.ListView(), column);
  }
  static std::wstring StatusText(const MainWindow& w, int panel) {
    wchar_t text[256] = {};
    SendMessageW(w.StatusBar(), SB_GETTEXTW, static_cast<WPARAM>(panel),
                 reinterpret_cast<LPARAM>(text));
    return text;
  }

  std::unique_ptr<ScratchFolder> folder_;
};

RenameEntry Entry(const std::wstring& name) { return {L"C:\\m\\" + name, L"", name, L""}; }

}  // namespace

TEST_F(MainWindowTest, FirstStartWithoutSettingsFile) {
  auto window = Open();
  EXPECT_EQ(win::GetText(window->Handle()), L"MP3 Velnoir ぽめろ");
  EXPECT_TRUE(window->IsChecked(IDM_SHOWTOOLBAR));
  EXPECT_FALSE(window->IsChecked(IDM_FLATTOOLBAR));
  EXPECT_TRUE(window->IsEnabled(IDM_FLATTOOLBAR));
  EXPECT_TRUE(window->IsChecked(IDM_STATUS));
  EXPECT_FALSE(window->IsChecked(IDM_SHOWFILENAMEONLY));
  int wide = win::TwipsToPixelsX(4800);
  EXPECT_EQ(ColumnWidth(*window, 0), wide);
  EXPECT_EQ(ColumnWidth(*window, 1), wide);
  EXPECT_EQ(ColumnWidth(*window, 2), 0);
  EXPECT_EQ(ColumnWidth(*window, 3), 0);
  EXPECT_EQ(StatusText(*window, 0), L"項目数：0");
  EXPECT_EQ(StatusText(*window, 1), L"停止");
  EXPECT_FALSE(StatusText(*window, 2).empty());  // the clock
  // Four menus on the bar: the list's pop-up menu is not one of them.
  EXPECT_EQ(GetMenuItemCount(GetMenu(window->Handle())), 4);
  EXPECT_EQ(window->UserPreferences().settings.defaultTemplate, L"%A - %T");
  EXPECT_EQ(window->UserPreferences().settings.doubleClickAction, 0);
  EXPECT_EQ(window->UserPreferences().templates,
            (std::vector<std::wstring>{L"%A - %T", L"(%A) %T"}));
  // The design client area: 9690 x 3960 twips.
  RECT client;
  GetClientRect(window->Handle(), &client);
  EXPECT_NEAR(client.right, win::TwipsToPixelsX(9690), 1);
  Close(*window);

  std::string ini = Ini();
  const char* keys[] = {"[QKPomeren_SE Window]",
                        "LastWindowState=0",
                        "LastToolBarVisible=1",
                        "LastToolBarStyleFlat=0",
                        "LastStatusBarVisible=1",
                        "LastShowFilenameOnly=0",
                        "Width=",
                        "Height=",
                        "[QKPomeren_SE Setting]",
                        "CantUseFilename=0",
                        "DataProve=0",
                        "EqualFileName=0",
                        "NoSettingField=0",
                        "RenameExt_Default=%A - %T",
                        "DobleClick=0",
                        "PreferID3v2=0",
                        "MakeFolders=0",
                        "NormalizeWidth=0"};
  size_t at = 0;
  for (const char* key : keys) {
    size_t found = ini.find(key, at);
    ASSERT_NE(found, std::string::npos) << key << "\n" << ini;
    at = found;
  }
  EXPECT_NE(ini.find("\r\n"), std::string::npos);
}

TEST_F(MainWindowTest, RestoresViewStateFromTheSettingsFile) {
  WriteIni(
      L"[QKPomeren_SE Window]\r\nLastToolBarVisible=0\r\nLastToolBarStyleFlat=1\r\n"
      L"LastStatusBarVisible=0\r\nLastShowFilenameOnly=1\r\nUpChkShow=1\r\n");
  auto window = Open();
  EXPECT_FALSE(window->IsChecked(IDM_SHOWTOOLBAR));
  EXPECT_FALSE(IsWindowVisible(window->Toolbar()) &&
               GetWindowLongPtrW(window->Toolbar(), GWL_STYLE) & WS_VISIBLE);
  EXPECT_TRUE(window->IsChecked(IDM_FLATTOOLBAR));
  EXPECT_FALSE(window->IsEnabled(IDM_FLATTOOLBAR));
  EXPECT_FALSE(window->IsChecked(IDM_STATUS));
  EXPECT_TRUE(window->IsChecked(IDM_SHOWFILENAMEONLY));
  EXPECT_EQ(ColumnWidth(*window, 0), 0);
  EXPECT_EQ(ColumnWidth(*window, 2), win::TwipsToPixelsX(4800));
  EXPECT_EQ(win::GetText(window->Handle()), L"MP3 Velnoir ぽめろ [カネナリbuild:20019]");

  // Both bars hidden: the list takes the whole client area from the top.
  RECT client, list;
  GetClientRect(window->Handle(), &client);
  GetWindowRect(window->ListView(), &list);
  MapWindowPoints(nullptr, window->Handle(), reinterpret_cast<POINT*>(&list), 2);
  EXPECT_EQ(list.top, 0);
  EXPECT_EQ(list.bottom - list.top, client.bottom);

  // Showing the toolbar again shows it flat and enables the item.
  window->OnShowToolBarClick();
  EXPECT_TRUE(window->IsEnabled(IDM_FLATTOOLBAR));
  EXPECT_TRUE(GetWindowLongPtrW(window->Toolbar(), GWL_STYLE) & TBSTYLE_FLAT);
  GetWindowRect(window->ListView(), &list);
  MapWindowPoints(nullptr, window->Handle(), reinterpret_cast<POINT*>(&list), 2);
  RECT bar;
  GetWindowRect(window->Toolbar(), &bar);
  EXPECT_EQ(list.top, bar.bottom - bar.top);
  Close(*window);
  std::string ini = Ini();
  EXPECT_NE(ini.find("LastToolBarVisible=1"), std::string::npos);
  EXPECT_NE(ini.find("LastToolBarStyleFlat=1"), std::string::npos);
  EXPECT_NE(ini.find("LastStatusBarVisible=0"), std::string::npos);
  EXPECT_NE(ini.find("UpChkShow=1"), std::string::npos);  // never written, kept
}

TEST_F(MainWindowTest, OddValuesFallBackToDefaults) {
  WriteIni(
      L"[QKPomeren_SE Window]\r\nLastToolBarVisible=no\r\nLastWindowState=7\r\nWidth=abc\r\n"
      L"Height=40000\r\nUpChkShow=true\r\n"
      L"[QKPomeren_SE Setting]\r\nCantUseFilename=2.5\r\nDataProve=true\r\n"
      L"EqualFileName=3.5\r\nNoSettingField=99999\r\nRenameExt_Default=\r\nDobleClick=x\r\n");
  auto window = Open();
  EXPECT_TRUE(window->IsChecked(IDM_SHOWTOOLBAR));
  EXPECT_EQ(win::GetText(window->Handle()), L"MP3 Velnoir ぽめろ");
  RECT client;
  GetClientRect(window->Handle(), &client);
  EXPECT_NEAR(client.right, win::TwipsToPixelsX(9690), 1);
  EXPECT_EQ(window->UserPreferences().settings.forbiddenCharacterAction, 2);
  EXPECT_FALSE(window->UserPreferences().settings.fileTypeByAnalysis);
  EXPECT_EQ(window->UserPreferences().settings.sameNameAction, 4);
  EXPECT_EQ(window->UserPreferences().settings.emptyFieldAction, 0);
  EXPECT_EQ(window->UserPreferences().settings.defaultTemplate, L"%A - %T");
  EXPECT_EQ(window->UserPreferences().settings.doubleClickAction, 0);
  Close(*window);
  EXPECT_NE(Ini().find("DataProve=0"), std::string::npos);
}

TEST_F(MainWindowTest, SizeAndMaximisedStateRoundTrip) {
  WriteIni(
      L"[QKPomeren_SE Window]\r\nWidth=9000\r\nHeight=6000\r\n"
      L"[QKPomeren_SE Setting]\r\nRenameExt_Default=%T (%Y)\r\nDobleClick=1\r\n");
  auto window = Open();
  RECT r;
  GetWindowRect(window->Handle(), &r);
  EXPECT_EQ(r.right - r.left, win::TwipsToPixelsX(9000));
  EXPECT_EQ(r.bottom - r.top, win::TwipsToPixelsY(6000));
  EXPECT_EQ(window->UserPreferences().settings.defaultTemplate, L"%T (%Y)");
  EXPECT_EQ(window->UserPreferences().settings.doubleClickAction, 1);
  ShowWindow(window->Handle(), SW_SHOWMAXIMIZED);
  Close(*window);
  std::string ini = Ini();
  EXPECT_NE(ini.find("LastWindowState=2"), std::string::npos) << ini;
  // The normal-state size is stored, not the maximised one.
  EXPECT_NE(ini.find("Width=" + std::to_string(win::PixelsToTwipsX(win::TwipsToPixelsX(9000)))),
            std::string::npos)
      << ini;
  EXPECT_NE(ini.find("RenameExt_Default=%T (%Y)"), std::string::npos);
}

// Minimised from the maximised state, the window would come back maximised
// if restored: its normal size is what the file keeps.
TEST_F(MainWindowTest, MinimisedFromMaximisedStoresTheNormalSize) {
  WriteIni(L"[QKPomeren_SE Window]\r\nWidth=9000\r\nHeight=6000\r\n");
  auto window = Open();
  ShowWindow(window->Handle(), SW_SHOWMAXIMIZED);
  ShowWindow(window->Handle(), SW_MINIMIZE);
  Close(*window);
  std::string ini = Ini();
  EXPECT_NE(ini.find("LastWindowState=1"), std::string::npos) << ini;
  EXPECT_NE(
      ini.find("Width=" + std::to_string(win::PixelsToTwipsX(win::TwipsToPixelsX(9000))) + "\r\n"),
      std::string::npos)
      << ini;
  EXPECT_NE(
      ini.find("Height=" + std::to_string(win::PixelsToTwipsY(win::TwipsToPixelsY(6000))) + "\r\n"),
      std::string::npos)
      << ini;
}

// A list file that could not be read at start is never overwritten; edits of
// the templates made since are lost, and the user is told so at close.
TEST_F(MainWindowTest, TemplateEditsAfterAFailedReadAreReportedAtClose) {
  static std::vector<std::wstring> shown;
  shown.clear();
  win::Seam<win::MessageBoxFunction>::Replacement recorded(
      win::g_messageBox, [](HWND, const std::wstring& text, UINT, const wchar_t*) {
        shown.push_back(text);
        return IDOK;
      });
  const std::wstring path = *folder_ / L"velnoir.lst";
  HANDLE locked = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  auto window = Open();
  CloseHandle(locked);
  size_t atStart = shown.size();  // the read error itself
  window->UserPreferences().templates.push_back(L"%T - %A");
  Close(*window);
  ASSERT_EQ(shown.size(), atStart + 1);
  EXPECT_EQ(
      shown.back(),
      L"リストファイルを読み込めなかったため、テンプレートの変更は保存されませんでした。\r\n" +
          path);
  EXPECT_EQ(ReadBytes(path), kTemplates);

  // Without edits nothing is said.
  shown.clear();
  locked = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  window = Open();
  CloseHandle(locked);
  atStart = shown.size();
  Close(*window);
  EXPECT_EQ(shown.size(), atStart);
  EXPECT_EQ(ReadBytes(path), kTemplates);
}

// After a rename run the selected entry, if it stays, stays selected: Del and
// Properties keep working on it without a new click.
TEST_F(MainWindowTest, RenamedEntriesLeaveTheSelectionOnTheEntryThatStays) {
  auto window = Open();
  auto& list = window->RenameEntries();
  for (const wchar_t* name : {L"1", L"2", L"3", L"4", L"5"}) list.Append(Entry(name));
  list.Select(3);
  list.RemovePositions({2, 4});
  EXPECT_EQ(list.Selected(), 2);
  EXPECT_EQ(list.Get(list.Selected()).sourceName, L"3");
  list.RemovePositions({2});
  EXPECT_EQ(list.Selected(), 0);
  Close(*window);
}

TEST_F(MainWindowTest, RemoveKeepsThePlayerConsistent) {
  auto window = Open();
  auto& list = window->RenameEntries();
  for (const wchar_t* name : {L"1", L"2", L"3", L"4", L"5"}) list.Append(Entry(name));
  window->PreviewPlayer().PlayIndex = 3;
  list.Select(1);
  window->OnDeleteClick();
  EXPECT_EQ(window->PreviewPlayer().PlayIndex, -1);
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Get(1).sourceName, L"2");
  EXPECT_EQ(StatusText(*window, 0), L"項目数：4");
  EXPECT_EQ(list.Selected(), 1);  // the entry that took its place
  // Nothing selected: nothing removed.
  ListView_SetItemState(window->ListView(), -1, 0, LVIS_SELECTED);
  window->OnDeleteClick();
  EXPECT_EQ(list.Count(), 4);
  list.Select(2);  // a middle one
  window->OnDeleteClick();
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Get(1).sourceName, L"2");
  EXPECT_EQ(list.Get(2).sourceName, L"4");
  list.Select(3);  // the last one
  window->OnDeleteClick();
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Get(2).sourceName, L"4");
  list.Select(1);
  window->OnDeleteClick();
  EXPECT_EQ(list.Get(1).sourceName, L"4");
  list.Select(1);
  window->OnDeleteClick();  // the only entry: the player stops
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(StatusText(*window, 0), L"項目数：0");
  EXPECT_EQ(StatusText(*window, 1), L"停止");
  Close(*window);
}

TEST_F(MainWindowTest, ToolbarButtonsInOrderWithTips) {
  auto window = Open();
  HWND bar = window->Toolbar();
  ASSERT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 9);
  // Each button, in order, runs the menu command it stands for and shows
  // its tip; the gaps fall after the delete and rename buttons.
  struct Expected {
    int command;  // 0: a gap
    const wchar_t* tip;
  };
  const Expected expected[] = {{IDM_OPEN, L"ファイルを追加 (Ctrl+O)"},
                               {IDM_DELETE, L"ファイルを削除 (Del)"},
                               {0, nullptr},
                               {IDM_EXECRENAME, L"リネーム開始"},
                               {0, nullptr},
                               {IDM_PLAYERPLAY, L"再生"},
                               {IDM_PLAYERSTOP, L"停止"},
                               {IDM_PLAYERPREV, L"前の曲"},
                               {IDM_PLAYERNEXT, L"次の曲"}};
  for (int i = 0; i < 9; ++i) {
    TBBUTTON b{};
    SendMessageW(bar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
    EXPECT_EQ((b.fsStyle & BTNS_SEP) != 0, expected[i].command == 0) << i;
    if (expected[i].command == 0) continue;
    EXPECT_EQ(b.idCommand, expected[i].command) << i;
    // The tip the tool tip control asks the window for.
    NMTTDISPINFOW tip{};
    tip.hdr = {reinterpret_cast<HWND>(SendMessageW(bar, TB_GETTOOLTIPS, 0, 0)),
               static_cast<UINT_PTR>(b.idCommand), static_cast<UINT>(TTN_GETDISPINFOW)};
    SendMessageW(window->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
    ASSERT_NE(tip.lpszText, nullptr) << i;
    EXPECT_STREQ(tip.lpszText, expected[i].tip) << i;
  }
  // A click on the delete button is the delete command.
  window->RenameEntries().Append(Entry(L"a"));
  window->RenameEntries().Select(1);
  RECT deleteButton;
  SendMessageW(bar, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&deleteButton));
  LPARAM at = MAKELPARAM((deleteButton.left + deleteButton.right) / 2,
                         (deleteButton.top + deleteButton.bottom) / 2);
  SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(bar, WM_LBUTTONUP, 0, at);
  EXPECT_EQ(window->RenameEntries().Count(), 0);
  Close(*window);
}

TEST_F(MainWindowTest, PopupItemsDisabledOnlyForAnEmptyList) {
  auto window = Open();
  static MainWindow* current;
  static bool propertyEnabled, playEnabled;
  current = window.get();
  // The pop-up runs a modal menu loop; a timer looks at the items and ends it.
  struct Look {
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
      propertyEnabled = current->IsEnabled(IDM_RMPROPERTY);
      playEnabled = current->IsEnabled(IDM_RMPLAYERPLAY);
      KillTimer(nullptr, id);
      EndMenu();
    }
  };
  TIMERPROC look = &Look::Tick;
  SetTimer(nullptr, 0, 200, look);
  SendMessageW(window->Handle(), WM_NOTIFY, 0, [&] {
    static NMHDR header;
    header = {window->ListView(), 1001, static_cast<UINT>(NM_RCLICK)};
    return reinterpret_cast<LPARAM>(&header);
  }());
  EXPECT_FALSE(propertyEnabled);
  EXPECT_FALSE(playEnabled);
  EXPECT_TRUE(window->IsEnabled(IDM_RMPROPERTY));
  EXPECT_TRUE(window->IsEnabled(IDM_RMPLAYERPLAY));

  window->RenameEntries().Append(Entry(L"a"));
  SetTimer(nullptr, 0, 200, look);
  NMHDR header{window->ListView(), 1001, static_cast<UINT>(NM_RCLICK)};
  SendMessageW(window->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
  EXPECT_TRUE(propertyEnabled);
  EXPECT_TRUE(playEnabled);
  Close(*window);
}

// After a pop-up menu was dismissed by a left click elsewhere, the thread's
// own record of the buttons can still show the left one held. What is held
// at the release decides, so the menu opens again.
TEST_F(MainWindowTest, PopupOpensThoughTheThreadStillRecordsTheLeftButtonHeld) {
  auto window = Open();
  window->RenameEntries().Append(Entry(L"a"));
  static bool opened;
  opened = false;
  struct Look {
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(nullptr, id);
      opened = FindWindowW(L"#32768", nullptr) && IsWindowVisible(FindWindowW(L"#32768", nullptr));
      EndMenu();
    }
  };
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_LBUTTON] = 0x80;
  SetKeyboardState(keys);
  ASSERT_TRUE(GetKeyState(VK_LBUTTON) & 0x8000);
  UINT_PTR timer = SetTimer(nullptr, 0, 200, &Look::Tick);
  NMHDR header{window->ListView(), 1001, static_cast<UINT>(NM_RCLICK)};
  SendMessageW(window->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
  KillTimer(nullptr, timer);
  keys[VK_LBUTTON] = 0;
  SetKeyboardState(keys);
  EXPECT_TRUE(opened);
  Close(*window);
}

TEST_F(MainWindowTest, DroppedFilesAreAddedInDropOrder) {
  auto window = Open();
  std::wstring names[] = {*folder_ / L"b.mp3", *folder_ / L"a.mp3", *folder_ / L"ソ表.mp3"};
  // A WM_DROPFILES block as the shell makes it: wide, double-NUL list.
  std::wstring list;
  for (auto& n : names) list += n + L'\0';
  list += L'\0';
  HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(),
         list.size() * sizeof(wchar_t));
  GlobalUnlock(block);
  SendMessageW(window->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
  while (window->Adding()) {
    win::PumpMessages();
    Sleep(1);
  }
  auto& entries = window->RenameEntries();
  ASSERT_EQ(entries.Count(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(entries.Get(i + 1).source, names[i]);
  EXPECT_EQ(entries.Get(3).sourceName, L"ソ表.mp3");
  EXPECT_EQ(StatusText(*window, 0), L"項目数：3");
  Close(*window);
}

namespace {

// A data object offering one clipboard format, as a drag source does.
class OneFormatData : public IDataObject {
 public:
  OneFormatData(CLIPFORMAT format, HGLOBAL data) : format_(format), data_(data) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (riid == IID_IUnknown || riid == IID_IDataObject) {
      *out = this;
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* f, STGMEDIUM* m) override {
    if (QueryGetData(f) != S_OK) return DV_E_FORMATETC;
    m->tymed = TYMED_HGLOBAL;
    m->hGlobal = OleDuplicateData(data_, format_, 0);
    m->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* f) override {
    return f->cfFormat == format_ && (f->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

 private:
  CLIPFORMAT format_;
  HGLOBAL data_;
};

}  // namespace

TEST(DropTarget, CopiesFileListsAndRefusesText) {
  std::vector<std::wstring> dropped;
  auto* target = new DropTarget([&](const std::vector<std::wstring>& p) { dropped = p; });
  std::wstring list = std::wstring(L"C:\\x\\1.mp3") + L'\0' + L"C:\\x\\2.wav" + L'\0' + L'\0';
  HGLOBAL files = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(files));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(),
         list.size() * sizeof(wchar_t));
  GlobalUnlock(files);
  HGLOBAL text = GlobalAlloc(GHND, 4);
  OneFormatData fileData(CF_HDROP, files), textData(CF_TEXT, text);

  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  target->DragEnter(&textData, 0, {0, 0}, &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  target->DragOver(0, {0, 0}, &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  target->DragLeave();

  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  target->DragEnter(&fileData, 0, {0, 0}, &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  target->Drop(&fileData, 0, {0, 0}, &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_EQ(dropped, (std::vector<std::wstring>{L"C:\\x\\1.mp3", L"C:\\x\\2.wav"}));
  target->Release();
  GlobalFree(files);
  GlobalFree(text);
}

namespace {

// Answers the open-file dialog the way a user would: types names into its
// file name box and presses Open (or Cancel when names is empty).
std::wstring g_dialogAnswer;
bool g_dialogSeen;
std::wstring g_dialogTitle;
std::vector<std::wstring> g_dialogFilters;  // the file type box's entries
int g_dialogFilter = -1;                    // and the one selected

void CALLBACK AnswerFileDialog(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dialog = FindWindowW(L"#32770", L"ファイルの追加");
  if (!dialog) return;
  KillTimer(nullptr, id);
  g_dialogSeen = true;
  g_dialogTitle = win::GetText(dialog);
  HWND types = GetDlgItem(dialog, 0x470);  // cmb1, the file type box
  g_dialogFilters.clear();
  const int count = types ? static_cast<int>(SendMessageW(types, CB_GETCOUNT, 0, 0)) : 0;
  for (int i = 0; i < count; ++i) g_dialogFilters.push_back(win::ComboItemText(types, i));
  g_dialogFilter = types ? static_cast<int>(SendMessageW(types, CB_GETCURSEL, 0, 0)) : -1;
  if (g_dialogAnswer.empty()) {
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    return;
  }
  HWND name = GetDlgItem(dialog, 0x47c);  // cmb13, the file name box
  if (!name) name = GetDlgItem(dialog, 0x480);
  SetWindowTextW(name, g_dialogAnswer.c_str());
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

}  // namespace

// The chosen files are read in the background and arrive through messages.
static void WaitForAdd(MainWindow& window) {
  while (window.Adding()) {
    win::PumpMessages();
    Sleep(1);
  }
}

TEST_F(MainWindowTest, OpenDialogAddsTheChosenFiles) {
  for (const wchar_t* name : {L"one.mp3", L"two.mp3", L"three.wav"})
    WriteBytes(*folder_ / name, "not audio");
  auto window = Open();
  auto& entries = window->RenameEntries();

  g_dialogSeen = false;
  g_dialogAnswer.clear();
  SetTimer(nullptr, 0, 100, AnswerFileDialog);
  window->OnOpenClick();
  WaitForAdd(*window);
  EXPECT_TRUE(g_dialogSeen);
  EXPECT_EQ(entries.Count(), 0);  // cancelled: nothing added, nothing shown
  const std::vector<std::wstring> filters = {
      L"対応しているすべてのファイル",
      L"MPEG オーディオ(*.mp1;*.mp3;*.mp3)",
      L"RIFF 形式 MP3 オーディオ(*.rmp)",
      L"Wave オーディオ(*.wav)",
      L"FLAC / AAC / Ogg / Opus オーディオ(*.flac;*.m4a;*.m4b;*.ogg;*.oga;*.opus)",
      L"すべてのファイル"};
  EXPECT_EQ(g_dialogFilters, filters);
  EXPECT_EQ(g_dialogFilter, 0);

  g_dialogAnswer = *folder_ / L"two.mp3";
  SetTimer(nullptr, 0, 100, AnswerFileDialog);
  window->OnOpenClick();
  WaitForAdd(*window);
  ASSERT_EQ(entries.Count(), 1);
  EXPECT_EQ(entries.Get(1).source, *folder_ / L"two.mp3");

  // Several names in one folder: the folder, one backslash, each name.
  SetCurrentDirectoryW(folder_->Path().c_str());
  g_dialogAnswer = L"\"three.wav\" \"one.mp3\"";
  SetTimer(nullptr, 0, 100, AnswerFileDialog);
  window->OnOpenClick();
  WaitForAdd(*window);
  ASSERT_EQ(entries.Count(), 3);
  std::wstring second = entries.Get(2).source, third = entries.Get(3).source;
  EXPECT_EQ(second.substr(second.find_last_of(L'\\') + 1), L"three.wav");
  EXPECT_EQ(third.substr(third.find_last_of(L'\\') + 1), L"one.mp3");
  EXPECT_EQ(second.find(L"\\\\"), std::wstring::npos);
  SetCurrentDirectoryW(testing_files::BinFolder().c_str());
  Close(*window);
}

TEST_F(MainWindowTest, ShortcutKeysWorkAnywhereInTheWindow) {
  auto window = Open();
  window->RenameEntries().Append(Entry(L"a"));
  window->RenameEntries().Select(1);
  // Del pressed while the list (or any other child) has the focus.
  for (HWND target : {window->ListView(), window->Toolbar()}) {
    MSG msg{target, WM_KEYDOWN, VK_DELETE, 0};
    EXPECT_TRUE(TranslateAcceleratorW(window->Handle(), window->Accelerators(), &msg));
  }
  EXPECT_EQ(window->RenameEntries().Count(), 0);
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  ACCEL table[4];
  int n = CopyAcceleratorTableW(window->Accelerators(), table, 4);
  bool ctrlO = false;
  for (int i = 0; i < n; ++i)
    ctrlO |= table[i].key == 'O' && (table[i].fVirt & FCONTROL) && table[i].cmd == IDM_OPEN;
  EXPECT_TRUE(ctrlO);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  Close(*window);
}

TEST_F(MainWindowTest, DoubleClickPlaysWhenSetTo) {
  auto window = Open();
  window->UserPreferences().settings.doubleClickAction = 1;
  NMHDR header{window->ListView(), 1001, static_cast<UINT>(NM_DBLCLK)};
  SendMessageW(window->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
  EXPECT_EQ(window->PreviewPlayer().PlayIndex, 0);  // empty list: nothing
  auto& list = window->RenameEntries();
  list.Append(Entry(L"a"));
  list.Append(Entry(L"b"));
  SendMessageW(window->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
  EXPECT_EQ(window->PreviewPlayer().PlayIndex, 0);  // nothing selected: nothing
  list.Select(2);
  // The file does not exist: the player reports its error in a message box,
  // which a timer closes.
  struct CloseBox {
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
      if (HWND box = FindWindowW(L"#32770", L"ぽめろ")) {
        KillTimer(nullptr, id);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
      }
    }
  };
  SetTimer(nullptr, 0, 300, &CloseBox::Tick);
  SendMessageW(window->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
  EXPECT_EQ(window->PreviewPlayer().PlayIndex, 2);
  window->UserPreferences().settings.doubleClickAction = 0;
  Close(*window);
}
