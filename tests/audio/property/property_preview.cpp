// Opens the property dialog over a plain owner window for the file named on
// the command line (and an optional target), as the main window would.
#include <windows.h>
#include <shellapi.h>

#include "audio/property/property_dialog.h"
#include "audio_library/tag_access.h"
#include "audio_library/vbmp3_api.h"
#include "tests/support/memory_rename_list.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 2 || !LoadVbmp3() || !Vbmp3Succeeded(g_vbmp3->init())) return 1;
  Preferences preferences;
  preferences.settings.defaultTemplate = kDefaultTemplate;
  preferences.templates = {L"%T", L"%A - %L - %T", L"%Y %L"};
  MemoryRenameList list;
  list.entries.push_back({argv[1], argc > 2 ? argv[2] : L"", L"", L""});
  list.selected = 1;
  HWND owner = CreateWindowExW(0, L"STATIC", L"ぽめろ", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                               900, 640, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ShowPropertyDialog(owner, list, preferences);
  DestroyWindow(owner);
  g_vbmp3->free();
  LocalFree(argv);
  return 0;
}
