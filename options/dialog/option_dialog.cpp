#include "options/dialog/option_dialog.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "options/dialog/option_rules.h"
#include "options/registration/registration.h"
#include "win/command_boundary.h"
#include "win/handles.h"
#include "win/modal_dialog.h"
#include "win/ui.h"

namespace {

constexpr const wchar_t* kClassName = L"VelnoirOptionDialog";
constexpr int kClientWidth = 6000;
constexpr int kClientHeight = 3975;
// A combo box's window height includes its drop-down list.
constexpr int kDropDownTwips = 1500;
constexpr int kAlways = win::ControlSpec::kAllPages;

constexpr DWORD kLabel = SS_LEFT;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kDropDownList = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;

using C = OptionDialog::Control;

// In tab order, each with the page it shows on. The option buttons are
// children of kDataCheckGroup; their positions are inside it.
// clang-format off
constexpr win::ControlSpec kLayout[] = {
    {C::kPageTabs, WC_TABCONTROLW, L"", WS_TABSTOP, 0, {105, 105, 5790, 3375}, kAlways},
    {C::kDataCheckLabel, L"STATIC", L"データ判別方式：", kLabel, 0, {210, 420, 4845, 225}, 0},
    {C::kDataCheckGroup, L"STATIC", L"", WS_CLIPCHILDREN, WS_EX_CONTROLPARENT,
     {420, 630, 5160, 455}, 0},
    {C::kCheckByExtension, L"BUTTON", L"拡張子による判定(MP3,RMP,WAV) (&E)",
     BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0, {0, 0, 3270, 225}, 0, C::kDataCheckGroup},
    {C::kCheckByAnalysis, L"BUTTON", L"[未実装] データ解析判定(MP3,RMP) (&N)",
     BS_AUTORADIOBUTTON | WS_DISABLED, 0, {0, 220, 3480, 225}, 0, C::kDataCheckGroup},
    {C::kTemplateLabel, L"STATIC", L"ファイル名変換(&F)：", kLabel, 0, {210, 1260, 1905, 225}, 0},
    {C::kTemplateBox, L"COMBOBOX", L"",
     CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 0,
     {420, 1470, 3270, 300 + kDropDownTwips}, 0},
    {C::kAddTemplate, L"BUTTON", L"&Add", kButton, 0, {4410, 1470, 1170, 300}, 0},
    {C::kSameNameLabel, L"STATIC", L"同一ファイル名発見の場合(&F)：", kLabel, 0, {210, 420, 2955, 225}, 1},
    {C::kSameNamePolicy, L"COMBOBOX", L"", kDropDownList, 0,
     {420, 630, 4530, 300 + kDropDownTwips}, 1},
    // Wide enough for the legend's longest line, which names the parts, and
    // as tall as its eight lines: it ends left of the Add and Remove buttons.
    {C::kLegendLabel, L"STATIC", L"", kLabel | SS_NOPREFIX, 0, {210, 1890, 4185, 1560}, 0},
    // Ends where the Add button starts, which would otherwise cover its end.
    {C::kExtensionLabel, L"STATIC", L".拡張子", kLabel, 0, {3730, 1508, 680, 225}, 0},
    {C::kBadCharacterLabel, L"STATIC", L"ファイル名に使えない文字が出た場合(&U)：", kLabel, 0,
     {210, 1050, 3480, 225}, 1},
    {C::kBadCharacterPolicy, L"COMBOBOX", L"", kDropDownList, 0,
     {420, 1260, 4530, 300 + kDropDownTwips}, 1},
    {C::kEmptyFieldLabel, L"STATIC", L"未設定のフィールドがあった場合(&N)：", kLabel, 0,
     {210, 1680, 3585, 225}, 1},
    {C::kEmptyFieldPolicy, L"COMBOBOX", L"", kDropDownList, 0,
     {420, 1890, 4530, 300 + kDropDownTwips}, 1},
    // Below the page's lists, which keep their places.
    {C::kPreferId3v2, L"BUTTON", L"ID3v2タグを優先する", BS_AUTOCHECKBOX | WS_TABSTOP, 0,
     {210, 2415, 4740, 255}, 1},
    {C::kMakeFolders, L"BUTTON", L"存在しないフォルダを作成する", BS_AUTOCHECKBOX | WS_TABSTOP, 0,
     {210, 2715, 4740, 255}, 1},
    {C::kNormalizeWidth, L"BUTTON", L"英数字・記号を半角に、半角カナを全角にする",
     BS_AUTOCHECKBOX | WS_TABSTOP, 0, {210, 3015, 4740, 255}, 1},
    {C::kOk, L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0,
     {4305, 3570, 1590, 330}, kAlways},
    {C::kCancel, L"BUTTON", L"キャンセル", kButton, 0, {2625, 3570, 1590, 330}, kAlways},
    {C::kRemoveTemplate, L"BUTTON", L"&Remove", kButton, 0, {4410, 1785, 1170, 300}, 0},
    {C::kSendSstp, L"BUTTON", L"[未実装] SSTPを送信する(&S)",
     BS_AUTOCHECKBOX | WS_TABSTOP | WS_DISABLED, 0, {105, 420, 2640, 225}, 2},
    {C::kSstpPortLabel, L"STATIC", L"送信先SSTPポート(&P)：", kLabel | WS_DISABLED, 0,
     {420, 758, 1905, 225}, 2},
    {C::kSstpPort, L"COMBOBOX", L"",
     CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP | WS_DISABLED, 0,
     {2280, 720, 855, 300 + kDropDownTwips}, 2},
    {C::kDoubleClickLabel, L"STATIC", L"リストダブルクリック時の動作(&C)：", kLabel, 0,
     {240, 1215, 2955, 225}, 2},
    {C::kDoubleClickAction, L"COMBOBOX", L"", kDropDownList, 0,
     {450, 1425, 4530, 300 + kDropDownTwips}, 2},
    {C::kRegisterUpdateCheck, L"BUTTON", L"「カネナリ」のアップデートチェックを利用する(&U)", kButton, 0,
     {240, 1920, 3975, 375}, 2},
};
// clang-format on
static_assert(sizeof(kLayout) / sizeof(kLayout[0]) == OptionDialog::kControlCount);

void AddItems(HWND combo, std::initializer_list<const wchar_t*> items) {
  for (const wchar_t* item : items)
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
}

int SelectedIndex(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

}  // namespace

void ShowOptionsDialog(HWND owner, Preferences& preferences) {
  OptionDialog dialog(preferences);
  if (dialog.Create(owner)) dialog.Run();
}

HWND OptionDialog::Create(HWND owner) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  // A dialog's keyboard: tab order, access keys, the default button
  // following the focus, the focus kept across activations.
  win::WindowClass windowClass{kClassName};
  windowClass.dialogKeyboard = true;
  if (!CreateDialogWindow(owner, windowClass, L"オプション", WS_POPUP | WS_CAPTION | WS_SYSMENU,
                          WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kClientWidth, kClientHeight))
    return nullptr;
  HWND window = Handle();
  CreateControls();
  LoadSettings();
  // Enter presses OK unless another push button has the focus.
  SendMessageW(window, DM_SETDEFID, kOk, 0);
  return window;
}

void OptionDialog::CreateControls() {
  ModalDialog::CreateControls(kLayout);
  for (const win::ControlSpec& layout : kLayout) {
    HWND parent = layout.parentId ? GetDlgItem(Handle(), layout.parentId) : Handle();
    controls_[layout.id - kPageTabs] = GetDlgItem(parent, layout.id);
  }

  HWND tab = Item(kPageTabs);
  const wchar_t* captions[] = {L"ファイル名", L"変換オプション", L"環境"};
  for (int i = 0; i < 3; ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(captions[i]);
    SendMessageW(tab, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  ClipTabToFrame();

  // The design contents of the lists.
  AddItems(Item(kTemplateBox), {kDefaultTemplate});
  AddItems(Item(kSameNamePolicy), {L"スキップしてリストに残す", L"番号を付けてリネームする"});
  AddItems(Item(kBadCharacterPolicy),
           {L"問題となる文字列を除去", L"全角文字に置き換える", L"「_」に置き換える"});
  AddItems(Item(kEmptyFieldPolicy), {L"無視", L"空欄にする", L"リネームしない"});
  AddItems(Item(kDoubleClickAction), {L"プロパティを開く", L"プレビュープレイヤーで再生する"});
  AddItems(Item(kSstpPort), {L"9801", L"11000"});
  win::SetText(Item(kSstpPort), L"9801");
  SendMessageW(Item(kLegendLabel), WM_SETFONT,
               reinterpret_cast<WPARAM>(win::NamedFont(L"ＭＳ ゴシック", 9, SHIFTJIS_CHARSET)),
               FALSE);

  ShowPage(0);
}

// The pages' controls lie over the tab control, which comes first in the
// window order so that Tab reaches it first. Cutting the tab control down to
// its tabs and frame keeps it from painting over them or taking their clicks.
void OptionDialog::ClipTabToFrame() {
  HWND tab = Item(kPageTabs);
  RECT outer;
  GetClientRect(tab, &outer);
  RECT row{};
  SendMessageW(tab, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  const int frame = 2;
  win::OwnedRegion region(CreateRectRgn(outer.left, outer.top, outer.right, outer.bottom));
  win::OwnedRegion inside(CreateRectRgn(outer.left + frame, row.bottom + frame, outer.right - frame,
                                        outer.bottom - frame));
  CombineRgn(region.Get(), region.Get(), inside.Get(), RGN_DIFF);
  // The window owns the region from here on.
  if (SetWindowRgn(tab, region.Get(), TRUE)) region.Release();
}

void OptionDialog::ShowPage(int page) {
  page_ = page;
  SendMessageW(Item(kPageTabs), TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
  for (const win::ControlSpec& layout : kLayout) {
    if (layout.page == kAlways) continue;
    if (layout.parentId) continue;  // shown and hidden with their holder
    ShowWindow(Item(static_cast<Control>(layout.id)), layout.page == page ? SW_SHOWNA : SW_HIDE);
  }
}

bool OptionDialog::IsTransparent(HWND control) const {
  for (Control label :
       {kDataCheckLabel, kDataCheckGroup, kTemplateLabel, kSameNameLabel, kLegendLabel,
        kExtensionLabel, kBadCharacterLabel, kEmptyFieldLabel, kSstpPortLabel, kDoubleClickLabel}) {
    if (control == Item(label)) return true;
  }
  return false;
}

LRESULT OptionDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (OnCommand(wParam)) return 0;
      break;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->idFrom == static_cast<UINT_PTR>(kPageTabs) && header->code == TCN_SELCHANGE) {
        ShowPage(static_cast<int>(SendMessageW(Item(kPageTabs), TCM_GETCURSEL, 0, 0)));
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
    case WM_CLOSE: OnCancel(); return 0;
    default: break;
  }
  return DefaultHandling(message, wParam, lParam);
}

// True when the command was a button's click, which this dialog takes.
bool OptionDialog::OnCommand(WPARAM wParam) {
  if (HIWORD(wParam) != BN_CLICKED) return false;
  switch (LOWORD(wParam)) {
    case kOk: OnOk(); break;
    case kCancel: OnCancel(); break;
    case kAddTemplate: OnAddTemplateClick(); break;
    case kRemoveTemplate: OnRemoveTemplateClick(); break;
    case kRegisterUpdateCheck: OnRegisterUpdateCheckClick(); break;
    default:
      // Esc arrives as IDCANCEL: the dialog has no cancel key.
      break;
  }
  return true;
}

void OptionDialog::LoadSettings() {
  const Settings& settings = preferences_.settings;
  win::SetText(Item(kLegendLabel), kTemplateLegend);
  SendMessageW(Item(settings.fileTypeByAnalysis ? kCheckByAnalysis : kCheckByExtension),
               BM_SETCHECK, BST_CHECKED, 0);
  win::SetText(Item(kTemplateBox), settings.defaultTemplate);
  for (const std::wstring& entry : preferences_.templates)
    SendMessageW(Item(kTemplateBox), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  auto select = [this](Control combo, int index) {
    SendMessageW(Item(combo), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  };
  select(kSameNamePolicy, PolicySelection(settings.sameNameAction, 2));
  select(kBadCharacterPolicy, PolicySelection(settings.forbiddenCharacterAction, 3));
  select(kEmptyFieldPolicy, PolicySelection(settings.emptyFieldAction, 3));
  select(kDoubleClickAction, DoubleClickSelection(settings.doubleClickAction));
  SendMessageW(Item(kPreferId3v2), BM_SETCHECK, settings.preferId3v2 ? BST_CHECKED : BST_UNCHECKED,
               0);
  SendMessageW(Item(kNormalizeWidth), BM_SETCHECK,
               settings.normalizeWidth ? BST_CHECKED : BST_UNCHECKED, 0);
  SendMessageW(Item(kMakeFolders), BM_SETCHECK, settings.makeFolders ? BST_CHECKED : BST_UNCHECKED,
               0);
  if (IsRegistered()) EnableWindow(Item(kRegisterUpdateCheck), FALSE);
}

void OptionDialog::OnOk() {
  Settings& settings = preferences_.settings;
  std::wstring defaultTemplate = win::GetText(Item(kTemplateBox));
  if (defaultTemplate.empty()) {
    win::MessageBoxText(Handle(), L"ファイル名変換の設定が異常です。", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  auto code = [this](Control combo) {
    int index = SelectedIndex(Item(combo));
    return index < 0 ? 0 : index;
  };
  settings.fileTypeByAnalysis =
      SendMessageW(Item(kCheckByAnalysis), BM_GETCHECK, 0, 0) == BST_CHECKED;
  settings.sameNameAction = code(kSameNamePolicy);
  settings.forbiddenCharacterAction = code(kBadCharacterPolicy);
  settings.emptyFieldAction = code(kEmptyFieldPolicy);
  settings.defaultTemplate = defaultTemplate;
  HWND combo = Item(kTemplateBox);
  int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  std::vector<std::wstring> entries;
  for (int i = 0; i < count; ++i) entries.push_back(win::ComboItemText(combo, i));
  preferences_.templates = TemplatesFromEntries(entries);
  settings.doubleClickAction = code(kDoubleClickAction);
  settings.preferId3v2 = SendMessageW(Item(kPreferId3v2), BM_GETCHECK, 0, 0) == BST_CHECKED;
  settings.makeFolders = SendMessageW(Item(kMakeFolders), BM_GETCHECK, 0, 0) == BST_CHECKED;
  settings.normalizeWidth = SendMessageW(Item(kNormalizeWidth), BM_GETCHECK, 0, 0) == BST_CHECKED;
  CloseDialog();
}

void OptionDialog::OnCancel() { CloseDialog(); }

void OptionDialog::OnAddTemplateClick() {
  std::wstring text = win::GetText(Item(kTemplateBox));
  SendMessageW(Item(kTemplateBox), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void OptionDialog::OnRemoveTemplateClick() {
  int selected = SelectedIndex(Item(kTemplateBox));
  if (!CanRemoveTemplateEntry(selected)) return;
  SendMessageW(Item(kTemplateBox), CB_DELETESTRING, static_cast<WPARAM>(selected), 0);
}

void OptionDialog::OnRegisterUpdateCheckClick() {
  // A registry failure ends this command only; the dialog stays open.
  win::RunCommand(Handle(), [this] { RegisterFromOptions(Handle()); });
}
