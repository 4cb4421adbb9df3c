#include "options/dialog/option_dialog.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "settings/settings.h"
#include "settings/template_list.h"
#include "options/dialog/option_rules.h"
#include "options/registration/message_box.h"
#include "options/registration/registration.h"
#include "win/command_boundary.h"
#include "win/ui.h"

namespace {

constexpr const wchar_t* kClassName = L"VelnoirOptionDialog";
constexpr int kClientWidth = 6000;
constexpr int kClientHeight = 3975;
// A combo box's window height includes its drop-down list.
constexpr int kDropDownTwips = 1500;
constexpr int kAlways = -1;

struct ControlLayout {
  OptionDialog::Control id;
  int page;  // kAlways, or the tab page the control sits on
  const wchar_t* className;
  const wchar_t* text;
  DWORD style;
  DWORD exStyle;
  win::TwipsRect rect;
};

constexpr DWORD kLabel = SS_LEFT;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kDropDownList = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;

using C = OptionDialog::Control;

// In tab order. The option buttons are children of Picture1; their
// positions are inside it.
const ControlLayout kLayout[] = {
    {C::SSTab1, kAlways, WC_TABCONTROLW, L"", WS_TABSTOP, 0, {105, 105, 5790, 3375}},
    {C::Label1, 0, L"STATIC", L"データ判別方式：", kLabel, 0, {210, 420, 4845, 225}},
    {C::Picture1, 0, L"STATIC", L"", WS_CLIPCHILDREN, WS_EX_CONTROLPARENT,
     {420, 630, 5160, 455}},
    {C::optDataCheckExtension, 0, L"BUTTON", L"拡張子による判定(MP3,RMP,WAV) (&E)",
     BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0, {0, 0, 3270, 225}},
    {C::optDataCheckAuto, 0, L"BUTTON", L"[未実装] データ解析判定(MP3,RMP) (&N)",
     BS_AUTORADIOBUTTON | WS_DISABLED, 0, {0, 220, 3480, 225}},
    {C::lblFileName, 0, L"STATIC", L"ファイル名変換(&F)：", kLabel, 0, {210, 1260, 1905, 225}},
    {C::cboRenameData, 0, L"COMBOBOX", L"",
     CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 0,
     {420, 1470, 3270, 300 + kDropDownTwips}},
    {C::cmdAddExtData, 0, L"BUTTON", L"&Add", kButton, 0, {4410, 1470, 1170, 300}},
    {C::Label2, 1, L"STATIC", L"同一ファイル名発見の場合(&F)：", kLabel, 0, {210, 420, 2955, 225}},
    {C::cboEqualFileName, 1, L"COMBOBOX", L"", kDropDownList, 0,
     {420, 630, 4530, 300 + kDropDownTwips}},
    {C::lblData, 0, L"STATIC", L"", kLabel | SS_NOPREFIX, 0, {525, 1890, 3795, 1275}},
    {C::Label3, 0, L"STATIC", L".拡張子", kLabel, 0, {3730, 1508, 750, 225}},
    {C::Label4, 1, L"STATIC", L"ファイル名に使えない文字が出た場合(&U)：", kLabel, 0,
     {210, 1050, 3480, 225}},
    {C::cboCantUseFileName, 1, L"COMBOBOX", L"", kDropDownList, 0,
     {420, 1260, 4530, 300 + kDropDownTwips}},
    {C::Label5, 1, L"STATIC", L"未設定のフィールドがあった場合(&N)：", kLabel, 0,
     {210, 1680, 3585, 225}},
    {C::cboNoSettingField, 1, L"COMBOBOX", L"", kDropDownList, 0,
     {420, 1890, 4530, 300 + kDropDownTwips}},
    // Below the page's lists, which keep their places.
    {C::chkPreferID3v2, 1, L"BUTTON", L"ID3v2タグを優先する", BS_AUTOCHECKBOX | WS_TABSTOP, 0,
     {210, 2415, 4740, 255}},
    {C::cmdOK, kAlways, L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0,
     {4305, 3570, 1590, 330}},
    {C::cmdCancel, kAlways, L"BUTTON", L"キャンセル", kButton, 0, {2625, 3570, 1590, 330}},
    {C::cmdRemove, 0, L"BUTTON", L"&Remove", kButton, 0, {4410, 1785, 1170, 300}},
    {C::chkSSTP, 2, L"BUTTON", L"[未実装] SSTPを送信する(&S)",
     BS_AUTOCHECKBOX | WS_TABSTOP | WS_DISABLED, 0, {105, 420, 2640, 225}},
    {C::Label7, 2, L"STATIC", L"送信先SSTPポート(&P)：", kLabel | WS_DISABLED, 0,
     {420, 758, 1905, 225}},
    {C::Combo1, 2, L"COMBOBOX", L"",
     CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP | WS_DISABLED, 0,
     {2280, 720, 855, 300 + kDropDownTwips}},
    {C::Label8, 2, L"STATIC", L"リストダブルクリック時の動作(&C)：", kLabel, 0,
     {240, 1215, 2955, 225}},
    {C::cboDobleClick, 2, L"COMBOBOX", L"", kDropDownList, 0,
     {450, 1425, 4530, 300 + kDropDownTwips}},
    {C::cmdUseUpChk, 2, L"BUTTON", L"「カネナリ」のアップデートチェックを利用する(&U)", kButton, 0,
     {240, 1920, 3975, 375}},
};
static_assert(sizeof(kLayout) / sizeof(kLayout[0]) == OptionDialog::kControlCount);

void AddItems(HWND combo, std::initializer_list<const wchar_t*> items) {
  for (const wchar_t* item : items)
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
}

int SelectedIndex(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

std::wstring EntryText(HWND combo, int index) {
  LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR) return L"";
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  length = SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(text.data()));
  text.resize(length == CB_ERR ? 0 : static_cast<size_t>(length));
  return text;
}

}  // namespace

void ShowOptionsDialog(HWND owner) {
  OptionDialog dialog;
  HWND window = dialog.Create(owner);
  if (!window) return;
  win::RunModal(window, owner);
}

OptionDialog::~OptionDialog() {
  if (window_ && IsWindow(window_)) DestroyWindow(window_);
}

HWND OptionDialog::Create(HWND owner) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &OptionDialog::WindowProc;
    // A dialog-box class of its own: DefDlgProc then gives the keyboard
    // behaviour of a dialog (tab order, access keys, the default button
    // following the focus, the focus kept across activations).
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  if (!registered) return nullptr;
  owner_ = owner;
  window_ = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kClassName, L"オプション",
                            WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 100, 100,
                            owner, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window_) return nullptr;
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  win::PlaceCentred(window_, owner, kClientWidth, kClientHeight);
  CreateControls();
  Form_Load();
  // Enter presses OK unless another push button has the focus.
  SendMessageW(window_, DM_SETDEFID, cmdOK, 0);
  return window_;
}

void OptionDialog::CreateControls() {
  for (const ControlLayout& layout : kLayout) {
    bool inPicture = layout.id == optDataCheckExtension || layout.id == optDataCheckAuto;
    HWND parent = inPicture ? Item(Picture1) : window_;
    controls_[layout.id - SSTab1] = win::CreateControl(parent, layout.className, layout.text,
                                                       layout.style, layout.exStyle, layout.id,
                                                       layout.rect);
  }

  HWND tab = Item(SSTab1);
  const wchar_t* captions[] = {L"ファイル名", L"変換オプション", L"環境"};
  for (int i = 0; i < 3; ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(captions[i]);
    SendMessageW(tab, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  ClipTabToFrame();

  // The design contents of the lists.
  AddItems(Item(cboRenameData), {kDefaultTemplate});
  AddItems(Item(cboEqualFileName), {L"スキップしてリストに残す"});
  AddItems(Item(cboCantUseFileName), {L"問題となる文字列を除去"});
  AddItems(Item(cboNoSettingField), {L"無視"});
  AddItems(Item(cboDobleClick), {L"プロパティを開く", L"プレビュープレイヤーで再生する"});
  AddItems(Item(Combo1), {L"9801", L"11000"});
  win::SetText(Item(Combo1), L"9801");
  SendMessageW(Item(lblData), WM_SETFONT,
               reinterpret_cast<WPARAM>(win::NamedFont(L"ＭＳ ゴシック", 9, SHIFTJIS_CHARSET)), FALSE);

  ShowPage(0);
}

// The pages' controls lie over the tab control, which comes first in the
// window order so that Tab reaches it first. Cutting the tab control down to
// its tabs and frame keeps it from painting over them or taking their clicks.
void OptionDialog::ClipTabToFrame() {
  HWND tab = Item(SSTab1);
  RECT outer;
  GetClientRect(tab, &outer);
  RECT row{};
  SendMessageW(tab, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  const int frame = 2;
  HRGN region = CreateRectRgn(outer.left, outer.top, outer.right, outer.bottom);
  HRGN inside = CreateRectRgn(outer.left + frame, row.bottom + frame, outer.right - frame,
                              outer.bottom - frame);
  CombineRgn(region, region, inside, RGN_DIFF);
  DeleteObject(inside);
  // The window owns the region from here on.
  if (!SetWindowRgn(tab, region, TRUE)) DeleteObject(region);
}

void OptionDialog::ShowPage(int page) {
  page_ = page;
  SendMessageW(Item(SSTab1), TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
  for (const ControlLayout& layout : kLayout) {
    if (layout.page == kAlways) continue;
    if (layout.id == optDataCheckExtension || layout.id == optDataCheckAuto) continue;
    ShowWindow(Item(layout.id), layout.page == page ? SW_SHOWNA : SW_HIDE);
  }
}

bool OptionDialog::IsTransparent(HWND control) const {
  for (Control label : {Label1, Picture1, lblFileName, Label2, lblData, Label3, Label4, Label5,
                        Label7, Label8}) {
    if (control == Item(label)) return true;
  }
  return false;
}

void OptionDialog::Close() {
  // Enabling the owner before the dialog goes lets the owner, not some
  // other program, become the active window.
  if (owner_) EnableWindow(owner_, TRUE);
  DestroyWindow(window_);
}

LRESULT CALLBACK OptionDialog::WindowProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
  auto* self = reinterpret_cast<OptionDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefDlgProcW(window, message, wParam, lParam);
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT OptionDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED) break;
      switch (LOWORD(wParam)) {
        case cmdOK:
          cmdOK_Click();
          return 0;
        case cmdCancel:
          cmdCancel_Click();
          return 0;
        case cmdAddExtData:
          cmdAddExtData_Click();
          return 0;
        case cmdRemove:
          cmdRemove_Click();
          return 0;
        case cmdUseUpChk:
          cmdUseUpChk_Click();
          return 0;
        default:
          // Esc arrives as IDCANCEL: the dialog has no cancel key.
          return 0;
      }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->idFrom == static_cast<UINT_PTR>(SSTab1) && header->code == TCN_SELCHANGE) {
        ShowPage(static_cast<int>(SendMessageW(Item(SSTab1), TCM_GETCURSEL, 0, 0)));
        return 0;
      }
      break;
    }
    case WM_CTLCOLORSTATIC:
      // Labels are drawn as text on whatever lies beneath, so a label whose
      // box reaches over a neighbouring control never hides its edge.
      if (IsTransparent(reinterpret_cast<HWND>(lParam))) {
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
      }
      break;
    case WM_CLOSE:
      cmdCancel_Click();
      return 0;
    case WM_DESTROY: {
      HWND window = window_;
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      window_ = nullptr;
      controls_.fill(nullptr);
      return DefDlgProcW(window, message, wParam, lParam);
    }
    default:
      break;
  }
  return DefDlgProcW(window_, message, wParam, lParam);
}

void OptionDialog::Form_Load() {
  win::SetText(Item(lblData), kTemplateLegend);
  SendMessageW(Item(g_settings.DataProve ? optDataCheckAuto : optDataCheckExtension), BM_SETCHECK,
               BST_CHECKED, 0);
  win::SetText(Item(cboRenameData), g_settings.RenameExt_Default);
  for (const std::wstring& entry : g_templateList)
    SendMessageW(Item(cboRenameData), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  auto select = [this](Control combo, int index) {
    SendMessageW(Item(combo), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  };
  select(cboEqualFileName, PolicySelection(g_settings.EqualFileName, 1));
  select(cboCantUseFileName, PolicySelection(g_settings.CantUseFilename, 1));
  select(cboNoSettingField, PolicySelection(g_settings.NoSettingField, 1));
  select(cboDobleClick, DoubleClickSelection(g_settings.DobleClick));
  SendMessageW(Item(chkPreferID3v2), BM_SETCHECK, g_settings.PreferID3v2 ? BST_CHECKED : BST_UNCHECKED, 0);
  if (IsRegistered()) EnableWindow(Item(cmdUseUpChk), FALSE);
}

void OptionDialog::cmdOK_Click() {
  std::wstring defaultTemplate = win::GetText(Item(cboRenameData));
  if (defaultTemplate.empty()) {
    OptionsMessageBox(window_, L"ファイル名変換の設定が異常です。", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  auto code = [this](Control combo) {
    int index = SelectedIndex(Item(combo));
    return static_cast<int16_t>(index < 0 ? 0 : index);
  };
  g_settings.DataProve = SendMessageW(Item(optDataCheckAuto), BM_GETCHECK, 0, 0) == BST_CHECKED;
  g_settings.EqualFileName = code(cboEqualFileName);
  g_settings.CantUseFilename = code(cboCantUseFileName);
  g_settings.NoSettingField = code(cboNoSettingField);
  g_settings.RenameExt_Default = defaultTemplate;
  HWND combo = Item(cboRenameData);
  int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  std::vector<std::wstring> entries;
  for (int i = 0; i < count; ++i) entries.push_back(EntryText(combo, i));
  g_templateList = TemplatesFromEntries(entries);
  g_settings.DobleClick = code(cboDobleClick);
  g_settings.PreferID3v2 = SendMessageW(Item(chkPreferID3v2), BM_GETCHECK, 0, 0) == BST_CHECKED;
  Close();
}

void OptionDialog::cmdCancel_Click() { Close(); }

void OptionDialog::cmdAddExtData_Click() {
  std::wstring text = win::GetText(Item(cboRenameData));
  SendMessageW(Item(cboRenameData), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void OptionDialog::cmdRemove_Click() {
  int selected = SelectedIndex(Item(cboRenameData));
  if (!CanRemoveTemplateEntry(selected)) return;
  SendMessageW(Item(cboRenameData), CB_DELETESTRING, static_cast<WPARAM>(selected), 0);
}

void OptionDialog::cmdUseUpChk_Click() {
  // A registry failure ends this command only; the dialog stays open.
  win::RunCommand(window_, [this] { RegisterFromOptions(window_); });
}
