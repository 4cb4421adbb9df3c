// Start and close of the main window: the audio library, the settings file
// (the view it keeps is applied here and read back at close) and the list
// file of name templates.
#include "app/main_window.h"

#include <exception>

#include "audio_library/tag_access.h"
#include "audio_library/vbmp3_api.h"
#include "engine/list_file.h"
#include "settings/setting_value.h"
#include "settings/settings_file.h"
#include "win/command_boundary.h"
#include "win/ini_access.h"
#include "win/text.h"
#include "win/ui.h"

namespace {

// Each step stands alone: a value that cannot be applied is skipped.
template <typename Step>
void Skippable(Step&& step) {
  try {
    step();
  } catch (const std::exception&) {
    // Start-up goes on with the next step, as it does for a step that
    // found nothing to apply.
  }
}

INIAccess SettingsFileIn(const std::wstring& directory) {
  INIAccess file;
  file.SetAppPathFilename(kSettingsFileName, directory);
  return file;
}

int ShowCommandOf(int windowState) {
  if (windowState == 1) return SW_SHOWMINIMIZED;
  if (windowState == 2) return SW_SHOWMAXIMIZED;
  return SW_SHOWNORMAL;
}

}  // namespace

bool MainWindow::LoadAtStart() {
  // Without the audio library the program cannot do anything it is for.
  if (!LoadVbmp3() || !Vbmp3Succeeded(g_vbmp3->init())) {
    win::MessageBoxText(nullptr, L"VBMP3の初期化に失敗しました。起動できません。",
                        MB_OK | MB_ICONSTOP, L"DLL操作エラー");
    return false;
  }
  libraryStarted_ = true;
  INIAccess file = SettingsFileIn(programDirectory_);
  WindowSettings stored;
  LoadSettings(file, stored);
  ApplyStoredView(stored);
  LoadSettings(file, preferences_.settings);
  Skippable([&] { LoadListFile(Handle(), listFile_, preferences_.templates); });
  ShowUndoAvailable();
  return true;
}

void MainWindow::ApplyStoredView(const WindowSettings& stored) {
  view_.toolbarShown = stored.ToolBarVisible;
  view_.toolbarFlat = stored.ToolBarFlat;
  view_.statusBarShown = stored.StatusBarVisible;
  view_.fileNamesOnly = stored.ShowFilenameOnly;
  ShowView();
  showCommand_ = ShowCommandOf(stored.WindowState);
  Skippable([&] {
    if (stored.UpCheckShown) ShowBuildNumber();
  });
  // The stored size is the normal-state size; the window is still hidden
  // and normal here, so it applies whatever state the window opens in.
  Skippable([&] { ApplyStoredSize(stored.Width, true); });
  Skippable([&] { ApplyStoredSize(stored.Height, false); });
}

void MainWindow::ApplyStoredSize(int twips, bool width) {
  if (twips <= 0) return;
  RECT r;
  GetWindowRect(Handle(), &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  if (width) w = win::TwipsToPixelsX(twips);
  else h = win::TwipsToPixelsY(twips);
  SetWindowPos(Handle(), nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::ShowBuildNumber() {
  win::ProgramVersion v = win::GetProgramVersion();
  if (auto build = BuildNumber(v.major, v.minor, v.revision))
    win::SetText(Handle(),
                 win::GetText(Handle()) + L" [カネナリbuild:" + std::to_wstring(*build) + L"]");
}

WindowSettings MainWindow::CurrentView() const {
  WindowSettings view;
  view.WindowState = IsIconic(Handle()) ? 1 : IsZoomed(Handle()) ? 2 : 0;
  view.ToolBarVisible = view_.toolbarShown;
  view.ToolBarFlat = view_.toolbarFlat;
  view.StatusBarVisible = view_.statusBarShown;
  view.ShowFilenameOnly = view_.fileNamesOnly;
  // The normal-state size, whatever the state: a window minimised from the
  // maximised state would be restored maximised, and restoring would show it.
  WINDOWPLACEMENT placement{sizeof(placement)};
  GetWindowPlacement(Handle(), &placement);
  const RECT& r = placement.rcNormalPosition;
  view.Width = win::PixelsToTwipsX(r.right - r.left);
  view.Height = win::PixelsToTwipsY(r.bottom - r.top);
  return view;
}

void MainWindow::SaveAtClose() {
  if (saved_) return;
  saved_ = true;
  INIAccess file = SettingsFileIn(programDirectory_);
  SaveSettings(file, CurrentView());
  SaveSettings(file, preferences_.settings);
  SaveListFileTellingLoss();
  if (libraryStarted_ && g_vbmp3->free) g_vbmp3->free();
  libraryStarted_ = false;
}

void MainWindow::SaveListFileTellingLoss() {
  // The close goes on whatever happens to the list file: the user is told,
  // the library is still released.
  win::RunCommand(Handle(), [&] {
    if (listFile_.Save(preferences_.templates) == ListFileSave::kEditsLost)
      win::MessageBoxText(
          Handle(),
          L"リストファイルを読み込めなかったため、テンプレートの変更は保存されませんでした。\r\n" +
              listFile_.Path(),
          MB_OK | MB_ICONEXCLAMATION);
  });
}
