#include "app/main_commands.h"

#include "app/main_window.h"

namespace {

using W = MainWindow;
constexpr Shortcut kNone{};
constexpr BYTE kCtrl = FCONTROL;
constexpr BYTE kCtrlShift = FCONTROL | FSHIFT;

// The accelerator table keeps this order.
// clang-format off
constexpr MainCommand kCommands[] = {
  // id                    caption                         shortcut               tip               image handler                      waits
  {IDM_OPEN,             L"ファイルを追加(&O)...",          {kCtrl, 'O'},          L"ファイルを追加", 0,  &W::OnOpenClick,              false},
  {IDM_OPENFOLDER,       L"フォルダを追加(&F)...",          {kCtrlShift, 'O'},     nullptr,         0,  &W::OnOpenFolderClick,        false},
  {IDM_DELETE,           L"ファイルを削除(&D)",             {0, VK_DELETE},        L"ファイルを削除", 1,  &W::OnDeleteClick,            false},
  {IDM_STOPADD,          nullptr,                         {0, VK_ESCAPE},        nullptr,         0,  &W::StopAdding,               false},
  {IDM_EXECRENAME,       L"リネーム開始(&S)",               kNone,                 L"リネーム開始",   2,  &W::OnExecRenameClick,        true},
  {IDM_UNDORENAME,       L"直前のリネームを元に戻す(&U)",    kNone,                 nullptr,         0,  &W::OnUndoRenameClick,        false},
  {IDM_EXIT,             L"終了(&X)",                      kNone,                 nullptr,         0,  &W::OnExitClick,              false},
  {IDM_SHOWTOOLBAR,      L"表示(&V)",                      kNone,                 nullptr,         0,  &W::OnShowToolBarClick,       false},
  {IDM_FLATTOOLBAR,      L"フラット(&F)",                   kNone,                 nullptr,         0,  &W::OnFlatToolBarClick,       false},
  {IDM_STATUS,           L"ステータスバー(&S)",             kNone,                 nullptr,         0,  &W::OnStatusBarClick,         false},
  {IDM_SHOWFILENAMEONLY, L"ファイル名だけで表示",            kNone,                 nullptr,         0,  &W::OnShowFilenameOnlyClick,  false},
  {IDM_PLAYERPLAY,       L"再生(&P)",                      kNone,                 L"再生",          3,  &W::OnPlayerPlayClick,        false},
  {IDM_PLAYERSTOP,       L"停止(&S)",                      kNone,                 L"停止",          4,  &W::OnPlayerStopClick,        false},
  {IDM_PLAYERNEXT,       L"次の曲(&N)",                    kNone,                 L"次の曲",        6,  &W::OnPlayerNextClick,        false},
  {IDM_PLAYERPREV,       L"前の曲(&L)",                    kNone,                 L"前の曲",        5,  &W::OnPlayerPreviousClick,    false},
  {IDM_PLAYERREPEAT,     L"連続再生(&R)",                   kNone,                 nullptr,         0,  &W::OnPlayerRepeatClick,      false},
  {IDM_OPTION,           L"オプション(&O)...",              kNone,                 nullptr,         0,  &W::OnOptionsClick,           true},
  {IDM_VERSION,          L"バージョン情報(&V)...",          kNone,                 nullptr,         0,  &W::OnVersionClick,           false},
  {IDM_RMPLAYERPLAY,     L"再生(&L)",                      kNone,                 nullptr,         0,  &W::OnPlayerPlayClick,        false},
  {IDM_RMPROPERTY,       L"プロパティ(&P)",                 kNone,                 nullptr,         0,  &W::OnPropertiesClick,        true},
};
// clang-format on

std::wstring KeyName(WORD key) {
  switch (key) {
    case VK_DELETE: return L"Del";
    case VK_ESCAPE: return L"Esc";
  }
  return std::wstring(1, static_cast<wchar_t>(key));
}

}  // namespace

std::span<const MainCommand> MainCommands() { return kCommands; }

const MainCommand* FindMainCommand(int id) {
  for (const MainCommand& command : kCommands)
    if (command.id == id) return &command;
  return nullptr;
}

std::wstring ShortcutText(Shortcut shortcut) {
  if (shortcut.key == 0) return L"";
  std::wstring text;
  if (shortcut.modifiers & FCONTROL) text += L"Ctrl+";
  if (shortcut.modifiers & FSHIFT) text += L"Shift+";
  return text + KeyName(shortcut.key);
}

std::wstring MenuCaption(const MainCommand& command) {
  std::wstring caption = command.caption ? command.caption : L"";
  if (command.shortcut.key) caption += L"\t" + ShortcutText(command.shortcut);
  return caption;
}

std::wstring ToolbarTipText(const MainCommand& command) {
  std::wstring tip = command.tip ? command.tip : L"";
  if (command.shortcut.key) tip += L" (" + ShortcutText(command.shortcut) + L")";
  return tip;
}
