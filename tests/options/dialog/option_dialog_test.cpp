#include "options/dialog/option_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "options/dialog/option_rules.h"
#include "options/registration/registration.h"
#include "tests/options/options_test_support.h"
#include "tests/support/dialog_checks.h"
#include "tests/support/ui_driver.h"
#include "win/text.h"
#include "win/ui.h"

namespace {

using C = OptionDialog::Control;

constexpr auto& Entries = ui_driver::ComboItems;
constexpr auto& Selected = ui_driver::ComboSelection;
constexpr auto& Checked = ui_driver::IsChecked;
// Picks an entry as the user does from the drop-down: the selection changes
// and the edit text follows it.
constexpr auto& ChooseEntry = ui_driver::SelectComboItem;
constexpr auto& Shown = ui_driver::IsShown;
constexpr auto& Click = ui_driver::ClickButton;
using ui_driver::ClickTab;
using ui_driver::PressAccessKey;
using ui_driver::PressKey;

// Types into the combo box's edit field, as the keyboard does: the combo box
// sees the edit change and drops its list selection.
void TypeText(HWND combo, const std::wstring& text) {
  ASSERT_NE(ui_driver::ComboEdit(combo), nullptr);
  ui_driver::ReplaceComboText(combo, text);
}

class OptionDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    preferences.settings.defaultTemplate = L"%T - %A";
    preferences.templates = {L"T1", L"T2"};
  }
  // Showing costs Wine about two seconds per window on a display without a
  // window manager, so only the tests that need the screen or the keyboard
  // focus show the dialog.
  HWND Open(bool show = false) {
    HWND window = dialog.Create(nullptr);
    EXPECT_NE(window, nullptr);
    if (show) {
      ShowWindow(window, SW_SHOW);
      SetForegroundWindow(window);
      win::PumpMessages();
    }
    return window;
  }
  HWND Item(C control) { return dialog.Item(control); }

  Preferences preferences;
  ScratchRegistry registry;
  MessageBoxRecorder boxes;
  OptionDialog dialog{preferences};
};

}  // namespace

TEST_F(OptionDialogTest, OpensWithTheSettingsOnTheFirstTab) {
  preferences.settings.doubleClickAction = 1;
  HWND window = Open();
  EXPECT_EQ(win::GetText(window), L"オプション");
  EXPECT_EQ(dialog.CurrentPage(), 0);
  EXPECT_TRUE(Checked(Item(C::kCheckByExtension)));
  EXPECT_FALSE(Checked(Item(C::kCheckByAnalysis)));
  EXPECT_EQ(win::GetText(Item(C::kTemplateBox)), L"%T - %A");
  EXPECT_EQ(Entries(Item(C::kTemplateBox)), (std::vector<std::wstring>{L"%A - %T", L"T1", L"T2"}));
  EXPECT_EQ(Selected(Item(C::kSameNamePolicy)), 0);
  EXPECT_EQ(Selected(Item(C::kBadCharacterPolicy)), 0);
  EXPECT_EQ(Selected(Item(C::kEmptyFieldPolicy)), 0);
  EXPECT_EQ(Selected(Item(C::kDoubleClickAction)), 1);
  EXPECT_EQ(Entries(Item(C::kDoubleClickAction)),
            (std::vector<std::wstring>{L"プロパティを開く", L"プレビュープレイヤーで再生する"}));
  // The first items are the choices of every version before; the others
  // follow, so stored numbers keep their meaning.
  EXPECT_EQ(Entries(Item(C::kSameNamePolicy)),
            (std::vector<std::wstring>{L"スキップしてリストに残す", L"番号を付けてリネームする"}));
  EXPECT_EQ(Entries(Item(C::kBadCharacterPolicy)),
            (std::vector<std::wstring>{L"問題となる文字列を除去", L"全角文字に置き換える",
                                       L"「_」に置き換える"}));
  EXPECT_EQ(Entries(Item(C::kEmptyFieldPolicy)),
            (std::vector<std::wstring>{L"無視", L"空欄にする", L"リネームしない"}));

  // The legend in the fixed-pitch font, ideographic spaces kept.
  EXPECT_EQ(win::GetText(Item(C::kLegendLabel)), kTemplateLegend);
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Item(C::kLegendLabel), WM_GETFONT, 0, 0)),
             sizeof(font), &font);
  EXPECT_STREQ(font.lfFaceName, L"ＭＳ ゴシック");
  EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
  EXPECT_EQ(font.lfWeight, FW_NORMAL);

  // Placeholders are disabled; the registration button is not (unregistered).
  EXPECT_FALSE(IsWindowEnabled(Item(C::kCheckByAnalysis)));
  EXPECT_FALSE(IsWindowEnabled(Item(C::kSendSstp)));
  EXPECT_FALSE(Checked(Item(C::kSendSstp)));
  EXPECT_FALSE(IsWindowEnabled(Item(C::kSstpPortLabel)));
  EXPECT_FALSE(IsWindowEnabled(Item(C::kSstpPort)));
  EXPECT_EQ(win::GetText(Item(C::kSstpPort)), L"9801");
  EXPECT_EQ(Entries(Item(C::kSstpPort)), (std::vector<std::wstring>{L"9801", L"11000"}));
  EXPECT_TRUE(IsWindowEnabled(Item(C::kRegisterUpdateCheck)));

  // Only the first page's controls are visible.
  EXPECT_TRUE(Shown(Item(C::kTemplateBox)));
  EXPECT_FALSE(Shown(Item(C::kSameNamePolicy)));
  EXPECT_FALSE(Shown(Item(C::kDoubleClickAction)));
}

TEST_F(OptionDialogTest, EveryPageHoldsTogether) {
  HWND window = Open();
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, win::TwipsToPixelsX(6000));
  EXPECT_EQ(client.bottom, win::TwipsToPixelsY(3975));
  for (int page = 0; page < 3; ++page) {
    ClickTab(Item(C::kPageTabs), page);
    for (const std::wstring& fault : dialog_checks::LayoutFaults(window))
      ADD_FAILURE() << "page " << page << ": " << win::ToUtf8(fault);
  }
}

TEST_F(OptionDialogTest, TabFollowsTheDesignedOrderOnEachPage) {
  HWND window = Open();
  auto order = [&] { return dialog_checks::TabOrder(window, Item(C::kPageTabs)); };
  EXPECT_EQ(order(), (std::vector<HWND>{Item(C::kPageTabs), Item(C::kCheckByExtension),
                                        Item(C::kTemplateBox), Item(C::kAddTemplate), Item(C::kOk),
                                        Item(C::kCancel), Item(C::kRemoveTemplate)}));
  ClickTab(Item(C::kPageTabs), 1);
  EXPECT_EQ(dialog.CurrentPage(), 1);
  EXPECT_EQ(order(), (std::vector<HWND>{Item(C::kPageTabs), Item(C::kSameNamePolicy),
                                        Item(C::kBadCharacterPolicy), Item(C::kEmptyFieldPolicy),
                                        Item(C::kPreferId3v2), Item(C::kMakeFolders),
                                        Item(C::kNormalizeWidth), Item(C::kOk), Item(C::kCancel)}));
  ClickTab(Item(C::kPageTabs), 2);
  EXPECT_EQ(dialog.CurrentPage(), 2);
  EXPECT_EQ(order(),
            (std::vector<HWND>{Item(C::kPageTabs), Item(C::kOk), Item(C::kCancel),
                               Item(C::kDoubleClickAction), Item(C::kRegisterUpdateCheck)}));
  EXPECT_TRUE(Shown(Item(C::kDoubleClickAction)));
  EXPECT_FALSE(Shown(Item(C::kTemplateBox)));
}

TEST_F(OptionDialogTest, OkWithoutChangesStoresTheSameValues) {
  preferences.settings.sameNameAction = 0;
  HWND window = Open();
  Click(Item(C::kOk));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(preferences.templates, (std::vector<std::wstring>{L"T1", L"T2"}));
  EXPECT_EQ(preferences.settings.defaultTemplate, L"%T - %A");
  EXPECT_FALSE(preferences.settings.fileTypeByAnalysis);
  EXPECT_EQ(preferences.settings.doubleClickAction, 0);
}

TEST_F(OptionDialogTest, OkStoresEveryControl) {
  Open();
  TypeText(Item(C::kTemplateBox), L"%Y %L");
  ClickTab(Item(C::kPageTabs), 2);
  SendMessageW(Item(C::kDoubleClickAction), CB_SETCURSEL, 1, 0);
  Click(Item(C::kOk));
  EXPECT_EQ(preferences.settings.defaultTemplate, L"%Y %L");
  EXPECT_EQ(preferences.settings.doubleClickAction, 1);
  EXPECT_EQ(preferences.settings.sameNameAction, 0);
  EXPECT_EQ(preferences.settings.forbiddenCharacterAction, 0);
  EXPECT_EQ(preferences.settings.emptyFieldAction, 0);
  EXPECT_EQ(preferences.templates, (std::vector<std::wstring>{L"T1", L"T2"}));
}

// The ID3v2 preference sits on the conversion page below its lists, which
// keep their places, and goes both ways through OK.
TEST_F(OptionDialogTest, PreferID3v2CheckBoxBelowTheConversionLists) {
  preferences.settings.preferId3v2 = true;
  Open();
  EXPECT_EQ(win::GetText(Item(C::kPreferId3v2)), L"ID3v2タグを優先する");
  EXPECT_TRUE(Checked(Item(C::kPreferId3v2)));
  RECT box, list;
  GetWindowRect(Item(C::kPreferId3v2), &box);
  GetWindowRect(Item(C::kEmptyFieldPolicy), &list);
  EXPECT_GE(box.top, list.top + win::TwipsToPixelsY(300));
  ClickTab(Item(C::kPageTabs), 1);
  EXPECT_TRUE(Shown(Item(C::kPreferId3v2)));
  Click(Item(C::kPreferId3v2));
  Click(Item(C::kOk));
  EXPECT_FALSE(preferences.settings.preferId3v2);
}

// Folder creation sits below the ID3v2 preference and goes both ways through
// OK; Cancel keeps what was there.
TEST_F(OptionDialogTest, MakeFoldersCheckBoxBelowThePreference) {
  preferences.settings.makeFolders = false;
  Open();
  EXPECT_EQ(win::GetText(Item(C::kMakeFolders)), L"存在しないフォルダを作成する");
  EXPECT_FALSE(Checked(Item(C::kMakeFolders)));
  RECT box, above;
  GetWindowRect(Item(C::kMakeFolders), &box);
  GetWindowRect(Item(C::kPreferId3v2), &above);
  EXPECT_GE(box.top, above.bottom);
  EXPECT_EQ(box.left, above.left);
  ClickTab(Item(C::kPageTabs), 1);
  EXPECT_TRUE(Shown(Item(C::kMakeFolders)));
  Click(Item(C::kMakeFolders));
  Click(Item(C::kCancel));
  EXPECT_FALSE(preferences.settings.makeFolders);
  Open();
  ClickTab(Item(C::kPageTabs), 1);
  Click(Item(C::kMakeFolders));
  Click(Item(C::kOk));
  EXPECT_TRUE(preferences.settings.makeFolders);
  preferences.settings.makeFolders = false;
}

TEST_F(OptionDialogTest, NormalizeWidthCheckBoxBelowFolderCreation) {
  Open();
  EXPECT_EQ(win::GetText(Item(C::kNormalizeWidth)), L"英数字・記号を半角に、半角カナを全角にする");
  RECT box, above;
  GetWindowRect(Item(C::kNormalizeWidth), &box);
  GetWindowRect(Item(C::kMakeFolders), &above);
  EXPECT_GE(box.top, above.bottom);
  EXPECT_EQ(box.left, above.left);
  ClickTab(Item(C::kPageTabs), 1);
  EXPECT_TRUE(Shown(Item(C::kNormalizeWidth)));
  Click(Item(C::kNormalizeWidth));
  Click(Item(C::kOk));
  EXPECT_TRUE(preferences.settings.normalizeWidth);
  Open();
  EXPECT_TRUE(Checked(Item(C::kNormalizeWidth)));
  Click(Item(C::kNormalizeWidth));
  Click(Item(C::kOk));
  EXPECT_FALSE(preferences.settings.normalizeWidth);
}

// The legend's lines, eight with the parts, fit in its label: none is
// cut off at the bottom.
TEST_F(OptionDialogTest, LegendFitsItsLabel) {
  Open();
  HWND label = Item(C::kLegendLabel);
  HDC dc = GetDC(label);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
  RECT client;
  GetClientRect(label, &client);
  RECT needed = client;
  std::wstring text = win::GetText(label);
  DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  EXPECT_NE(text.find(L"%F - FileName"), std::wstring::npos);
  EXPECT_LE(needed.bottom, client.bottom);
}

TEST_F(OptionDialogTest, DataProveStaysTrueThoughItsButtonIsDisabled) {
  preferences.settings.fileTypeByAnalysis = true;
  Open();
  EXPECT_TRUE(Checked(Item(C::kCheckByAnalysis)));
  EXPECT_FALSE(Checked(Item(C::kCheckByExtension)));
  Click(Item(C::kOk));
  EXPECT_TRUE(preferences.settings.fileTypeByAnalysis);
}

TEST_F(OptionDialogTest, CancelAndTheCloseBoxDiscard) {
  for (bool closeBox : {false, true}) {
    OptionDialog another(preferences);
    HWND window = another.Create(nullptr);
    TypeText(another.Item(C::kTemplateBox), L"changed");
    Click(another.Item(C::kAddTemplate));
    SendMessageW(another.Item(C::kDoubleClickAction), CB_SETCURSEL, 1, 0);
    if (closeBox) SendMessageW(window, WM_CLOSE, 0, 0);
    else Click(another.Item(C::kCancel));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(preferences.settings.defaultTemplate, L"%T - %A");
    EXPECT_EQ(preferences.settings.doubleClickAction, 0);
    EXPECT_EQ(preferences.templates, (std::vector<std::wstring>{L"T1", L"T2"}));
  }
}

TEST_F(OptionDialogTest, EmptyTemplateIsRefusedKeepingEveryEdit) {
  HWND window = Open();
  SendMessageW(Item(C::kDoubleClickAction), CB_SETCURSEL, 1, 0);
  TypeText(Item(C::kTemplateBox), L"");
  Click(Item(C::kAddTemplate));  // an empty entry may be added
  Click(Item(C::kOk));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, L"ファイル名変換の設定が異常です。");
  EXPECT_EQ(boxes.shown[0].flags, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_EQ(boxes.shown[0].caption, L"ぽめろ");
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(preferences.settings.doubleClickAction, 0);
  EXPECT_EQ(preferences.settings.defaultTemplate, L"%T - %A");
  EXPECT_EQ(Selected(Item(C::kDoubleClickAction)), 1);
  EXPECT_EQ(Entries(Item(C::kTemplateBox)),
            (std::vector<std::wstring>{L"%A - %T", L"T1", L"T2", L""}));

  TypeText(Item(C::kTemplateBox), L"%A");
  Click(Item(C::kOk));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(preferences.settings.doubleClickAction, 1);
  EXPECT_EQ(preferences.templates, (std::vector<std::wstring>{L"T1", L"T2", L""}));
}

TEST_F(OptionDialogTest, AddAppendsTheTypedText) {
  Open();
  TypeText(Item(C::kTemplateBox), L"%G_%T");
  Click(Item(C::kAddTemplate));
  Click(Item(C::kAddTemplate));  // no duplicate check
  EXPECT_EQ(Entries(Item(C::kTemplateBox)),
            (std::vector<std::wstring>{L"%A - %T", L"T1", L"T2", L"%G_%T", L"%G_%T"}));
  Click(Item(C::kOk));
  EXPECT_EQ(preferences.templates, (std::vector<std::wstring>{L"T1", L"T2", L"%G_%T", L"%G_%T"}));
  EXPECT_EQ(preferences.settings.defaultTemplate, L"%G_%T");
}

TEST_F(OptionDialogTest, RemoveTakesOnlyAChosenUserTemplate) {
  Open();
  HWND combo = Item(C::kTemplateBox);
  // Typed text: nothing is selected, nothing removed.
  TypeText(combo, L"T1");
  Click(Item(C::kRemoveTemplate));
  EXPECT_EQ(Entries(combo).size(), 3u);
  // A chosen entry that was edited afterwards is no longer selected.
  ChooseEntry(combo, 1);
  TypeText(combo, L"T1 edited");
  Click(Item(C::kRemoveTemplate));
  EXPECT_EQ(Entries(combo).size(), 3u);
  // The fixed first entry stays.
  ChooseEntry(combo, 0);
  Click(Item(C::kRemoveTemplate));
  EXPECT_EQ(Entries(combo), (std::vector<std::wstring>{L"%A - %T", L"T1", L"T2"}));
  ChooseEntry(combo, 1);
  Click(Item(C::kRemoveTemplate));
  EXPECT_EQ(Entries(combo), (std::vector<std::wstring>{L"%A - %T", L"T2"}));
  TypeText(combo, L"%A");
  Click(Item(C::kOk));
  EXPECT_EQ(preferences.templates, (std::vector<std::wstring>{L"T2"}));
}

TEST_F(OptionDialogTest, StoredIndexesOutsideTheListsOpenAndNormalise) {
  preferences.settings.sameNameAction = 5;
  preferences.settings.forbiddenCharacterAction = -2;
  preferences.settings.emptyFieldAction = 3;
  preferences.settings.doubleClickAction = 7;
  Open();
  EXPECT_EQ(Selected(Item(C::kSameNamePolicy)), 0);
  EXPECT_EQ(Selected(Item(C::kBadCharacterPolicy)), 0);
  EXPECT_EQ(Selected(Item(C::kEmptyFieldPolicy)), 0);
  EXPECT_EQ(Selected(Item(C::kDoubleClickAction)), 1);  // 7 plays, as "play" does
  Click(Item(C::kOk));
  EXPECT_EQ(preferences.settings.sameNameAction, 0);
  EXPECT_EQ(preferences.settings.forbiddenCharacterAction, 0);
  EXPECT_EQ(preferences.settings.emptyFieldAction, 0);
  EXPECT_EQ(preferences.settings.doubleClickAction, 1);
}

// Each item of each policy list opens selected from its stored number and
// is stored back as its number.
TEST_F(OptionDialogTest, EveryPolicyItemGoesBothWays) {
  struct List {
    C control;
    int Settings::*field;
    int items;
  };
  for (List list : {List{C::kSameNamePolicy, &Settings::sameNameAction, 2},
                    List{C::kBadCharacterPolicy, &Settings::forbiddenCharacterAction, 3},
                    List{C::kEmptyFieldPolicy, &Settings::emptyFieldAction, 3}}) {
    for (int item = 0; item < list.items; ++item) {
      preferences.settings.*list.field = item;
      Open();
      EXPECT_EQ(Selected(Item(list.control)), item) << list.control;
      SendMessageW(Item(list.control), CB_SETCURSEL, static_cast<WPARAM>(list.items - 1 - item), 0);
      Click(Item(C::kOk));
      EXPECT_EQ(preferences.settings.*list.field, list.items - 1 - item) << list.control;
    }
  }
}

TEST_F(OptionDialogTest, RegistrationButtonDisabledWhenRegistered) {
  registry.WriteText(RegistrationKeyPath(), "DistinctName", "pomerose");
  Open();
  EXPECT_TRUE(IsWindowEnabled(Item(C::kRegisterUpdateCheck)));
  Click(Item(C::kCancel));

  registry.WriteText(RegistrationKeyPath(), "DistinctName", "PomeroSE");
  OptionDialog registered(preferences);
  registered.Create(nullptr);
  EXPECT_FALSE(IsWindowEnabled(registered.Item(C::kRegisterUpdateCheck)));
}

TEST_F(OptionDialogTest, RegistrationButtonRegistersAndStaysUntilReopened) {
  registry.InstallMonitor();
  HWND window = Open();
  ClickTab(Item(C::kPageTabs), 2);
  boxes.answers = {IDNO};
  Click(Item(C::kRegisterUpdateCheck));
  EXPECT_FALSE(IsRegistered());
  boxes.answers = {IDYES};
  Click(Item(C::kRegisterUpdateCheck));
  EXPECT_TRUE(IsRegistered());
  EXPECT_EQ(boxes.shown.size(), 2u);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_TRUE(IsWindowEnabled(Item(C::kRegisterUpdateCheck)));
  // Written at once, whichever way the dialog closes.
  Click(Item(C::kCancel));
  EXPECT_TRUE(IsRegistered());
  OptionDialog reopened(preferences);
  reopened.Create(nullptr);
  EXPECT_FALSE(IsWindowEnabled(reopened.Item(C::kRegisterUpdateCheck)));
}

TEST_F(OptionDialogTest, RegistrationWithoutTheMonitorSaysSo) {
  Open();
  boxes.answers = {IDYES};
  Click(Item(C::kRegisterUpdateCheck));
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].flags, static_cast<UINT>(MB_OK | MB_ICONSTOP));
  EXPECT_FALSE(registry.KeyExists(L"Software\\Upcheck"));
}

// The error is shown in the program's own message box, with its text.
TEST_F(OptionDialogTest, AnErrorOfTheRegistrationEndsOnlyThatCommand) {
  HWND window = Open();
  boxes.throwOnNext = true;
  Click(Item(C::kRegisterUpdateCheck));
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].text, L"テスト用のエラー");
  EXPECT_EQ(boxes.shown[1].caption, L"ぽめろ");
  EXPECT_EQ(boxes.shown[1].flags, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_TRUE(IsWindow(window));
  Click(Item(C::kOk));
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(OptionDialogTest, KeyboardAccessKeysEnterAndEscape) {
  HWND window = Open(true);
  // A label's access key moves to the control after it, on the page shown.
  ClickTab(Item(C::kPageTabs), 1);
  SetFocus(Item(C::kPageTabs));
  PressAccessKey(window, L'u');
  EXPECT_EQ(GetFocus(), Item(C::kBadCharacterPolicy));
  PressAccessKey(window, L'f');
  EXPECT_EQ(GetFocus(), Item(C::kSameNamePolicy));
  ClickTab(Item(C::kPageTabs), 2);
  PressAccessKey(window, L'c');
  EXPECT_EQ(GetFocus(), Item(C::kDoubleClickAction));
  // The focused push button is the default one; elsewhere OK is.
  auto isDefault = [&](C button) {
    return (GetWindowLongPtrW(Item(button), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  };
  PressKey(window, VK_TAB);
  EXPECT_EQ(GetFocus(), Item(C::kRegisterUpdateCheck));
  EXPECT_TRUE(isDefault(C::kRegisterUpdateCheck));
  EXPECT_FALSE(isDefault(C::kOk));
  PressKey(window, VK_TAB);  // round to the tab control
  EXPECT_EQ(GetFocus(), Item(C::kPageTabs));
  EXPECT_TRUE(isDefault(C::kOk));
  EXPECT_FALSE(isDefault(C::kRegisterUpdateCheck));
  ClickTab(Item(C::kPageTabs), 0);
  SetFocus(Item(C::kPageTabs));
  PressKey(window, VK_ESCAPE);
  EXPECT_TRUE(IsWindow(window));
  TypeText(Item(C::kTemplateBox), L"%C");
  PressKey(window, VK_RETURN);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(preferences.settings.defaultTemplate, L"%C");
}

TEST_F(OptionDialogTest, ModalOverItsOwner) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400,
                               300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(owner, nullptr);
  bool ownerWasDisabled = false;
  dialog_checks::ModalRun run = dialog_checks::RunModal(
      [&] { ShowOptionsDialog(owner, preferences); }, L"VelnoirOptionDialog",
      [&](HWND shown) {
        ownerWasDisabled = !IsWindowEnabled(owner);
        EXPECT_EQ(GetWindow(shown, GW_OWNER), owner);
        PostMessageW(shown, WM_COMMAND, MAKEWPARAM(OptionDialog::kCancel, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(shown, OptionDialog::kCancel)));
      });
  EXPECT_TRUE(run.shown);
  EXPECT_FALSE(run.closedByGuard) << "Cancel did not close the dialog";
  EXPECT_TRUE(ownerWasDisabled);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(FindWindowW(L"VelnoirOptionDialog", nullptr), nullptr);
  DestroyWindow(owner);
}
