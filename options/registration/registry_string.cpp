#include "options/registration/registry_string.h"

#include <cstring>

#include "win/handles.h"
#include "win/text.h"

std::wstring ReadRegistryString(HKEY root, const std::wstring& keyPath,
                                const std::wstring& valueName) {
  std::string key = win::ToAnsi(keyPath);
  std::string name = win::ToAnsi(valueName);
  win::OwnedKey handle;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, handle.Receive()) != ERROR_SUCCESS) {
    handle.Release();  // nothing was opened
    return L"";
  }
  char buffer[256] = {};
  DWORD size = sizeof(buffer);
  DWORD type = REG_NONE;
  LONG status = RegQueryValueExA(handle.Get(), name.c_str(), nullptr, &type,
                                 reinterpret_cast<BYTE*>(buffer), &size);
  if (status != ERROR_SUCCESS || type != REG_SZ) return L"";
  // A value stored without its terminating NUL fills the buffer to the end:
  // the size the registry reported is the limit, not the buffer's NUL.
  size_t length = 0;
  while (length < size && length < sizeof(buffer) && buffer[length] != '\0') ++length;
  return win::FromAnsi(std::string_view(buffer, length));
}
