#include "options/sstp/vbsock_api.h"

#include <windows.h>

#include "win/library.h"

VbsockApi g_vbsock;

using win::ResolveExport;

VbsockLoad LoadVbsock() {
  if (g_vbsock.sendSstpSend) return VbsockLoad::kLoaded;
  HMODULE module = win::LoadProgramLibrary(L"VBSOCK.dll");
  if (!module) return VbsockLoad::kLibraryMissing;
  VbsockApi api;
  if (!ResolveExport(module, "vbsock_sendSstpSend", api.sendSstpSend) ||
      !ResolveExport(module, "vbsock_getSendDataSize", api.getSendDataSize) ||
      !ResolveExport(module, "vbsock_getSendData", api.getSendData)) {
    FreeLibrary(module);
    return VbsockLoad::kFunctionMissing;
  }
  // The module stays loaded for the rest of the process.
  g_vbsock = api;
  return VbsockLoad::kLoaded;
}
