#include "options/sstp/vbsock_api.h"

#include <windows.h>

#include "win/handles.h"
#include "win/library.h"

win::Seam<VbsockApi> g_vbsock{VbsockApi{}};

using win::ResolveExport;

VbsockLoad LoadVbsock() {
  if (g_vbsock->sendSstpSend) return VbsockLoad::kLoaded;
  win::OwnedLibrary module(win::LoadProgramLibrary(L"VBSOCK.dll"));
  if (!module) return VbsockLoad::kLibraryMissing;
  VbsockApi api;
  if (!ResolveExport(module.Get(), "vbsock_sendSstpSend", api.sendSstpSend) ||
      !ResolveExport(module.Get(), "vbsock_getSendDataSize", api.getSendDataSize) ||
      !ResolveExport(module.Get(), "vbsock_getSendData", api.getSendData))
    return VbsockLoad::kFunctionMissing;
  // The module stays loaded for the rest of the process.
  module.Release();
  g_vbsock.Set(api);
  return VbsockLoad::kLoaded;
}
