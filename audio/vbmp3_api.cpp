#include "audio/vbmp3_api.h"

#include <windows.h>

#include "win/ui.h"

Vbmp3Api g_vbmp3;

namespace {

template <typename F>
bool Resolve(HMODULE module, const char* name, F& slot) {
  slot = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  return slot != nullptr;
}

}  // namespace

bool LoadVbmp3() {
  if (g_vbmp3.init) return true;
  std::wstring dir = win::ProgramDirectory();
  if (!dir.empty() && dir.back() != L'\\') dir += L'\\';
  HMODULE module = LoadLibraryW((dir + L"VBMP3.dll").c_str());
  if (!module) return false;
  Vbmp3Api api;
  bool ok = Resolve(module, "vbmp3_init", api.init) && Resolve(module, "vbmp3_free", api.free) &&
            Resolve(module, "vbmp3_getFileInfo2", api.getFileInfo2) &&
            Resolve(module, "vbmp3_getFileInfo", api.getFileInfo) &&
            Resolve(module, "vbmp3_setTagInfo", api.setTagInfo) &&
            Resolve(module, "vbmp3_getGenre", api.getGenre) &&
            Resolve(module, "vbmp3_open", api.open) && Resolve(module, "vbmp3_play", api.play) &&
            Resolve(module, "vbmp3_stop", api.stop) && Resolve(module, "vbmp3_close", api.close) &&
            Resolve(module, "vbmp3_getState", api.getState) &&
            Resolve(module, "vbmp3_getLastErrorNo", api.getLastErrorNo);
  if (!ok) {
    FreeLibrary(module);
    return false;
  }
  g_vbmp3 = api;
  return true;
}
