#include "audio_library/vbmp3_api.h"

#include <windows.h>

#include "win/library.h"

win::Seam<Vbmp3Api> g_vbmp3{Vbmp3Api{}};

using win::ResolveExport;

bool LoadVbmp3() {
  if (g_vbmp3->init) return true;
  HMODULE module = win::LoadProgramLibrary(L"VBMP3.dll");
  if (!module) return false;
  Vbmp3Api api;
  bool ok = ResolveExport(module, "vbmp3_init", api.init) &&
            ResolveExport(module, "vbmp3_free", api.free) &&
            ResolveExport(module, "vbmp3_getFileInfo2", api.getFileInfo2) &&
            ResolveExport(module, "vbmp3_getFileInfo", api.getFileInfo) &&
            ResolveExport(module, "vbmp3_setTagInfo", api.setTagInfo) &&
            ResolveExport(module, "vbmp3_getGenre", api.getGenre) &&
            ResolveExport(module, "vbmp3_open", api.open) &&
            ResolveExport(module, "vbmp3_play", api.play) &&
            ResolveExport(module, "vbmp3_stop", api.stop) &&
            ResolveExport(module, "vbmp3_close", api.close) &&
            ResolveExport(module, "vbmp3_getState", api.getState) &&
            ResolveExport(module, "vbmp3_getLastErrorNo", api.getLastErrorNo);
  if (!ok) {
    FreeLibrary(module);
    return false;
  }
  ResolveExport(module, "vbmp3_setTagTexts", api.setTagTexts);
  ResolveExport(module, "vbmp3_getFileInfoWhole", api.getFileInfoWhole);
  ResolveExport(module, "vbmp3_setTagTextsWhole", api.setTagTextsWhole);
  ResolveExport(module, "vbmp3_getFormatInfo", api.getFormatInfo);
  g_vbmp3.Set(api);
  return true;
}
