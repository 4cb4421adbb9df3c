#include "audio/property/property_dialog.h"

#include <commctrl.h>

#include <cwchar>
#include <utility>

#include "audio_library/library_path.h"
#include "audio/property/property_text.h"
#include "audio_library/tag_access.h"
#include "engine/name_builder.h"
#include "engine/rename_entry.h"
#include "engine/path_rules.h"
#include "engine/undo_journal.h"
#include "win/command_boundary.h"
#include "win/file_lookup.h"
#include "win/text.h"
#include "win/ui.h"

namespace {

constexpr const wchar_t* kClassName = L"VelnoirFileProperty";
constexpr int kClientWidth = 6795, kClientHeight = 4260;
// A combo box's window height includes its dropped-down list; the layout
// gives only the closed height, so the list gets room for about ten rows.
constexpr int kDropDownTwips = 2400;

constexpr win::TwipsRect kTagFramePlace{105, 735, 3270, 3020};
constexpr win::TwipsRect kStreamFramePlace{3465, 735, 3270, 3020};

constexpr DWORD kLabel = SS_LEFT, kRightLabel = SS_RIGHT;
constexpr DWORD kTextBox = ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP;
using Id = PropertyDialog::ControlId;
using win::Inside;

// In tab order; the tag boxes and the stream text lie inside their frames.
// clang-format off
constexpr win::ControlSpec kLayout[] = {
    {Id::kPathLabel, L"STATIC", L"ファイルパス(&P)：", kRightLabel, 0, {105, 105, 1590, 225}},
    {Id::kPath, L"EDIT", L"[NO TARGET]", kTextBox | ES_READONLY, WS_EX_CLIENTEDGE, {1680, 82, 4950, 270}},
    {Id::kTargetLabel, L"STATIC", L"リネーム予定(&R)：", kRightLabel, 0, {105, 420, 1590, 225}},
    {Id::kTarget, L"COMBOBOX", L"", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 0,
     {1680, 382, 4950, 300 + kDropDownTwips}},
    {Id::kTagFrame, L"BUTTON", L"ID3(v1)情報", BS_GROUPBOX, 0, kTagFramePlace},
    {Id::kArtistLabel, L"STATIC", L"アーティスト(&A)：", kLabel, 0, Inside(kTagFramePlace, {105, 210, 1485, 225})},
    {Id::kArtist, L"EDIT", L"", kTextBox, WS_EX_CLIENTEDGE, Inside(kTagFramePlace, {105, 420, 3060, 270})},
    {Id::kTitleLabel, L"STATIC", L"タイトル(&T)：", kLabel, 0, Inside(kTagFramePlace, {105, 735, 1275, 225})},
    {Id::kTitle, L"EDIT", L"", kTextBox, WS_EX_CLIENTEDGE, Inside(kTagFramePlace, {105, 945, 3060, 270})},
    {Id::kAlbumLabel, L"STATIC", L"アルバム(&L)：", kLabel, 0, Inside(kTagFramePlace, {105, 1260, 1380, 225})},
    {Id::kAlbum, L"EDIT", L"", kTextBox, WS_EX_CLIENTEDGE, Inside(kTagFramePlace, {105, 1470, 3060, 270})},
    {Id::kCommentLabel, L"STATIC", L"コメント(&C)：", kLabel, 0, Inside(kTagFramePlace, {105, 1785, 1275, 225})},
    {Id::kComment, L"EDIT", L"", kTextBox, WS_EX_CLIENTEDGE, Inside(kTagFramePlace, {105, 1995, 3060, 270})},
    {Id::kYearLabel, L"STATIC", L"製作年(&Y)：", kRightLabel, 0, Inside(kTagFramePlace, {315, 2340, 855, 225})},
    {Id::kYear, L"EDIT", L"", kTextBox, WS_EX_CLIENTEDGE, Inside(kTagFramePlace, {1155, 2310, 2010, 270})},
    {Id::kGenreLabel, L"STATIC", L"ジャンル(&G)：", kRightLabel, 0, Inside(kTagFramePlace, {105, 2670, 1065, 225})},
    {Id::kGenre, L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 0,
     Inside(kTagFramePlace, {1155, 2625, 2010, 300 + kDropDownTwips})},
    {Id::kStreamFrame, L"BUTTON", L"MPEG情報", BS_GROUPBOX, 0, kStreamFramePlace},
    {Id::kStreamInfo, L"EDIT", L"", ES_LEFT | ES_MULTILINE | ES_READONLY | WS_TABSTOP | WS_GROUP,
     WS_EX_CLIENTEDGE, Inside(kStreamFramePlace, {105, 210, 3035, 2745})},
    {Id::kTargetStatus, L"STATIC", L"重複はありません。", kLabel, 0, {105, 3903, 3480, 225}},
    {Id::kCancel, L"BUTTON", L"キャンセル", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 0, {3675, 3850, 1485, 330}},
    {Id::kOk, L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0, {5280, 3850, 1485, 330}},
};
// clang-format on

std::wstring TrimSpaces(const std::wstring& text) {
  size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring::npos) return L"";
  size_t last = text.find_last_not_of(L' ');
  return text.substr(first, last - first + 1);
}

// The text of path after its directory part: what the caption names. A path
// without a directory is named whole rather than losing its first character.
std::wstring CaptionName(const std::wstring& path) {
  std::wstring directory = GetDirectoryPart(path);
  if (directory.empty()) return path;
  std::wstring withSeparator = AddPathSeparator(directory);
  if (withSeparator.size() > path.size()) return L"";
  return path.substr(withSeparator.size());
}

}  // namespace

void ShowPropertyDialog(HWND owner, RenameList& list, const Preferences& preferences,
                        const std::wstring& journalPath) {
  int position = list.Selected();
  if (position == 0) return;
  PropertyDialog dialog(owner, list, position, preferences, journalPath);
  if (dialog.Create()) dialog.RunModal();
}

PropertyDialog::PropertyDialog(HWND owner, RenameList& list, int position,
                               const Preferences& preferences, std::wstring journalPath)
    : owner_(owner),
      list_(list),
      preferences_(preferences),
      position_(position),
      journalPath_(std::move(journalPath)) {}

HWND PropertyDialog::Control(ControlId id) const { return GetDlgItem(Handle(), id); }

bool PropertyDialog::Create() {
  // A dialog-box class of its own: DefDlgProc then moves the focus for a
  // label's access key (IsDialogMessage asks the dialog to do it), and for
  // the Tab key, as in any dialog.
  win::WindowClass windowClass{kClassName};
  windowClass.dialogKeyboard = true;
  if (!CreateDialogWindow(owner_, windowClass, L"", WS_POPUP | WS_CAPTION | WS_SYSMENU,
                          WS_EX_DLGMODALFRAME, kClientWidth, kClientHeight))
    return false;
  HWND window = Handle();
  // The system menu of a fixed dialog offers only moving and closing.
  if (HMENU menu = GetSystemMenu(window, FALSE)) {
    DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND);
    DeleteMenu(menu, SC_MINIMIZE, MF_BYCOMMAND);
    DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
    DeleteMenu(menu, SC_RESTORE, MF_BYCOMMAND);
  }
  CreateControls();
  LoadEntry();
  return true;
}

void PropertyDialog::RunModal() {
  if (Handle()) ModalDialog::RunModal();
}

void PropertyDialog::CreateControls() {
  ModalDialog::CreateControls(kLayout);
  // No text box limits its length (an edit control stops at 32767 otherwise).
  for (ControlId id : {kPath, kArtist, kTitle, kAlbum, kComment, kYear, kStreamInfo})
    SendMessageW(Control(id), EM_SETLIMITTEXT, 0, 0);
  SendMessageW(Control(kTarget), CB_LIMITTEXT, 0, 0);

  // A drop-down list tells its parent of a new choice but not of a key: the
  // key release is caught on the box itself.
  WatchControl(Control(kGenre));
}

LRESULT PropertyDialog::HandleControlMessage(HWND control, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  LRESULT result = DefaultControlHandling(control, message, wParam, lParam);
  if (message == WM_KEYUP && control == Control(kGenre)) OnGenreKeyUp();
  return result;
}

void PropertyDialog::LoadEntry() {
  loading_ = true;
  FillGenres();
  RenameEntry entry = list_.Get(position_);
  LoadFileInfo(entry.source);
  win::SetText(Handle(), CaptionName(win::GetText(Control(kPath))) + L" のプロパティ");
  win::SetText(Control(kTarget), entry.target);
  CheckDuplicate();
  RefreshRenameTargets();
  loading_ = false;
  tagDirty_ = false;
}

void PropertyDialog::FillGenres() {
  HWND combo = Control(kGenre);
  for (const Genre& genre : LibraryGenres()) {
    LRESULT index =
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(genre.name.c_str()));
    if (index >= 0) SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), genre.number);
  }
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
}

void PropertyDialog::SelectGenre(const std::wstring& name) {
  HWND combo = Control(kGenre);
  int selection = -1;
  if (!name.empty()) {
    // Exact and case-sensitive, which CB_FINDSTRINGEXACT is not. A name the
    // list does not hold selects nothing.
    int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count && selection < 0; ++i)
      if (win::ComboItemText(combo, i) == name) selection = i;
  }
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selection), 0);
}

void PropertyDialog::LoadFileInfo(const std::wstring& path) {
  bool wasLoading = loading_;
  loading_ = true;
  HWND target = Control(kPath);
  win::SetText(target, path);

  // The dialog is not shown yet while it loads: a warning goes over the owner.
  HWND messageOwner = IsWindowVisible(Handle()) ? Handle() : owner_;
  TagReading reading = ReadFileTagsReporting(TrimSpaces(path));
  if (reading.outcome == TagReadOutcome::kUnreachablePath) {
    win::MessageBoxText(messageOwner, UnreachablePathMessage(path), MB_OK | MB_ICONEXCLAMATION);
  } else if (reading.outcome == TagReadOutcome::kLibraryFailed) {
    win::MessageBoxText(messageOwner,
                        path + L"\r\n指定したファイルのデータが収得できません。\r\nErrorCode：" +
                            std::to_wstring(Vbmp3LastErrorNumber()),
                        MB_OK | MB_ICONEXCLAMATION);
  }

  // What the library filled is shown even when it failed, but a tag that
  // could not be read is not one to write back: its boxes stay shut.
  ShowTagTexts(reading.tags);
  tagsRead_ = reading.outcome == TagReadOutcome::kRead;
  // A FLAC, MP4 or Ogg tag the library cannot write is shown all the same:
  // its boxes can be read and copied from, not typed into.
  const bool otherFormat = !reading.tags.format.empty();
  bool writable = !otherFormat;
  if (otherFormat && tagsRead_) {
    if (std::optional<FormatInfoRecord> info = ReadFormatInfo(TrimSpaces(path), reading.tags)) {
      win::SetText(Control(kStreamInfo), property::FormatAudioInfo(*info));
      writable = info->TagWritable != 0 && CanWriteId3v2Texts();
    }
  }
  tagsWritable_ = tagsRead_ && writable;
  for (ControlId id : {kArtist, kTitle, kAlbum, kComment, kYear}) {
    EnableWindow(Control(id), tagsRead_ ? TRUE : FALSE);
    SendMessageW(Control(id), EM_SETREADONLY, tagsRead_ && !writable ? TRUE : FALSE, 0);
  }
  EnableWindow(Control(kGenre), tagsWritable_ ? TRUE : FALSE);

  // The end of a long path is the part worth seeing.
  LRESULT length = GetWindowTextLengthW(target);
  SendMessageW(target, EM_SETSEL, static_cast<WPARAM>(length), length);
  SendMessageW(target, EM_SCROLLCARET, 0, 0);

  loading_ = wasLoading;
  tagDirty_ = false;
}

void PropertyDialog::RefreshRenameTargets() {
  HWND combo = Control(kTarget);
  std::wstring typed = win::GetText(combo);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  std::wstring path = win::GetText(Control(kPath));
  auto append = [combo](const std::wstring& candidate) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(candidate.c_str()));
  };
  const std::vector<std::wstring> candidates = RenameCandidates(path);
  for (const std::wstring& candidate : candidates) append(candidate);
  win::SetText(combo, FollowDefaultCandidate(typed, candidates.front()));
}

void PropertyDialog::CheckDuplicate() { ShowTargetState(win::GetText(Control(kTarget))); }

void PropertyDialog::ShowTargetState(const std::wstring& target) {
  property::TargetState state = property::ClassifyTarget(
      target, win::GetText(Control(kPath)),
      [](const std::wstring& pattern) { return win::LookupNormalFile(pattern); });
  statusColour_ = property::TargetStateIsAlarm(state) ? RGB(255, 0, 0) : RGB(0, 0, 0);
  HWND status = Control(kTargetStatus);
  win::SetText(status, property::TargetStateCaption(state));
  InvalidateRect(status, nullptr, TRUE);
}

void PropertyDialog::WriteTag(const std::wstring& path) {
  const TagTexts texts = BoxTagTexts();
  // The genre's own number, kept with its entry: a library whose genre
  // numbers have gaps would otherwise get the wrong genre.
  HWND genre = Control(kGenre);
  LRESULT selected = SendMessageW(genre, CB_GETCURSEL, 0, 0);
  int32_t genreNumber =
      selected == CB_ERR ? -1
                         : static_cast<int32_t>(SendMessageW(genre, CB_GETITEMDATA, selected, 0));

  std::optional<std::string> libraryPath = LibraryPath(path);
  if (!libraryPath) {
    // Retrying cannot help: the file keeps its name. The tag stays unwritten.
    win::MessageBoxText(Handle(), UnreachablePathMessage(path), MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  for (;;) {
    if (WriteId3v1Tag(*libraryPath, texts, genreNumber)) {
      tagDirty_ = false;
      return;
    }
    int answer = win::MessageBoxText(
        Handle(), L"ID3に書き込めません。\r\nErrorCode：" + std::to_wstring(Vbmp3LastErrorNumber()),
        MB_RETRYCANCEL | MB_ICONEXCLAMATION);
    if (answer != IDRETRY) return;
  }
}

void PropertyDialog::OnOk() {
  std::wstring source = win::GetText(Control(kPath));
  // A tag that outgrew its room is written through a new file: the journal
  // learns the file's new identity, so that undo still takes it back.
  JournalIdentityWatch journal(journalPath_, source);
  WriteTags(source);
  journal.AfterRewrite();
  list_.Set(position_,
            EntryWithTarget(source, property::StoredTarget(win::GetText(Control(kTarget)))));
  CloseDialog();
}

void PropertyDialog::OnCancel() { CloseDialog(); }

void PropertyDialog::OnTagTextChange() {
  if (loading_) return;
  tagDirty_ = true;
  RefreshRenameTargets();
}

void PropertyDialog::OnGenreChosen() {
  if (loading_) return;
  tagDirty_ = true;
  RefreshRenameTargets();
}

void PropertyDialog::OnGenreKeyUp() {
  if (loading_) return;
  tagDirty_ = true;
}

void PropertyDialog::OnTargetTyped() { CheckDuplicate(); }

void PropertyDialog::OnTargetChosen() {
  // At CBN_SELCHANGE the edit part still holds the old text: judge the entry
  // being chosen.
  HWND combo = Control(kTarget);
  LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) {
    CheckDuplicate();
    return;
  }
  ShowTargetState(win::ComboItemText(combo, static_cast<int>(index)));
}

LRESULT PropertyDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case DM_GETDEFID: return MAKELRESULT(kOk, DC_HASDEFID);
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) == Control(kTargetStatus))
        return ColourTargetStatus(reinterpret_cast<HDC>(wParam));
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
      }
      // This dialog keeps and gives back its focus itself (WM_SETFOCUS
      // below); the window default turns an activation into WM_SETFOCUS.
      return DefWindowProcW(Handle(), message, wParam, lParam);
    case WM_SETFOCUS: {
      HWND target = lastFocus_ && IsWindow(lastFocus_) ? lastFocus_ : Control(kPath);
      SetFocus(target);
      return 0;
    }
    case WM_CLOSE: OnCancel(); return 0;
    default: break;
  }
  return DefaultHandling(message, wParam, lParam);
}

void PropertyDialog::OnCommand(int id, int code) {
  switch (id) {
    case kArtist:
    case kTitle:
    case kAlbum:
    case kYear:
    case kComment:
      if (code == EN_CHANGE) OnTagTextChange();
      break;
    case kGenre:
      if (code == CBN_SELCHANGE) OnGenreChosen();
      break;
    case kTarget:
      if (code == CBN_EDITCHANGE) OnTargetTyped();
      if (code == CBN_SELCHANGE) OnTargetChosen();
      break;
    case kOk:
      if (code == BN_CLICKED) win::RunCommand(Handle(), [this] { OnOk(); });
      break;
    case kCancel:
      if (code == BN_CLICKED) OnCancel();
      break;
    default:
      // IDCANCEL from the Esc key lands here: Esc does not close this dialog.
      break;
  }
}

// The target's state is written in its own colour on the dialog's face.
LRESULT PropertyDialog::ColourTargetStatus(HDC dc) {
  SetTextColor(dc, statusColour_);
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}
