// Our libraries beside the program, loaded by full path so that a library
// of the same name elsewhere on the search path is never taken.
#pragma once
#include <windows.h>

#include <string>

#include "win/ui.h"

namespace win {

// LoadLibraryW of the file in the program's folder; null when it is missing.
inline HMODULE LoadProgramLibrary(const wchar_t* fileName) {
  std::wstring dir = ProgramDirectory();
  if (!dir.empty() && dir.back() != L'\\') dir += L'\\';
  return LoadLibraryW((dir + fileName).c_str());
}

// Sets slot to the export name of module; false when it has none.
template <typename F>
bool ResolveExport(HMODULE module, const char* name, F& slot) {
  slot = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  return slot != nullptr;
}

}  // namespace win
