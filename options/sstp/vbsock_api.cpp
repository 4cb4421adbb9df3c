#include "options/sstp/vbsock_api.h"

#include <windows.h>

#include "win/ui.h"

VbsockApi g_vbsock;

namespace {

template <typename F>
bool Resolve(HMODULE module, const char* name, F& slot) {
  slot = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  return slot != nullptr;
}

}  // namespace

VbsockLoad LoadVbsock() {
  if (g_vbsock.sendSstpSend) return VbsockLoad::kLoaded;
  std::wstring dir = win::ProgramDirectory();
  if (!dir.empty() && dir.back() != L'\\') dir += L'\\';
  // A full path, so a VBSOCK.dll elsewhere on the search path is never taken.
  HMODULE module = LoadLibraryW((dir + L"VBSOCK.dll").c_str());
  if (!module) return VbsockLoad::kLibraryMissing;
  VbsockApi api;
  if (!Resolve(module, "vbsock_sendSstpSend", api.sendSstpSend) ||
      !Resolve(module, "vbsock_getSendDataSize", api.getSendDataSize) ||
      !Resolve(module, "vbsock_getSendData", api.getSendData)) {
    FreeLibrary(module);
    return VbsockLoad::kFunctionMissing;
  }
  // The module stays loaded for the rest of the process.
  g_vbsock = api;
  return VbsockLoad::kLoaded;
}
