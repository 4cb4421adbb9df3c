// Opens the property dialog over a plain owner window for the file named on
// the command line (and an optional target), as the main window would.
#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "settings/settings.h"
#include "audio/property/property_dialog.h"
#include "audio_library/vbmp3_api.h"
#include "settings/template_list.h"

namespace {

class OneEntryList : public RenameList {
 public:
  std::vector<RenameEntry> entries;
  int Count() const override { return static_cast<int>(entries.size()); }
  RenameEntry Get(int position) const override { return entries.at(position - 1); }
  void Append(RenameEntry entry) override { entries.push_back(std::move(entry)); }
  void Set(int position, RenameEntry entry) override { entries.at(position - 1) = std::move(entry); }
  void RemovePositions(const std::vector<int>&) override {}
  void Remove(int) override {}
  int Selected() const override { return entries.empty() ? 0 : 1; }
  void ShowItemCount() override {}
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 2 || !LoadVbmp3() || (g_vbmp3.init() & 0xFFFF) == 0) return 1;
  g_settings.RenameExt_Default = kDefaultTemplate;
  g_templateList = {L"%T", L"%A - %L - %T", L"%Y %L"};
  OneEntryList list;
  list.entries.push_back({argv[1], argc > 2 ? argv[2] : L"", L"", L""});
  HWND owner = CreateWindowExW(0, L"STATIC", L"ぽめろ", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                               900, 640, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ShowPropertyDialog(owner, list);
  DestroyWindow(owner);
  g_vbmp3.free();
  LocalFree(argv);
  return 0;
}
