#include "tests/support/host_python.h"

#include <windows.h>

#include <fstream>

#include "win/text.h"

namespace host_python {
namespace {

std::string UnixPath(const std::wstring& path) {
  using Convert = char*(CDECL*)(const wchar_t*);
  auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!convert) return "";
  char* unix = convert(path.c_str());
  std::string out = unix ? unix : "";
  HeapFree(GetProcessHeap(), 0, unix);
  return out;
}

}  // namespace

std::map<std::string, std::wstring> KeyValueLines(const testing_files::ScratchFolder& folder,
                                                  const std::string& script,
                                                  const std::wstring& file) {
  const std::wstring scriptPath = folder / L"host_script.py", out = folder / L"host_out.txt";
  DeleteFileW(out.c_str());
  testing_files::WriteBytes(scriptPath, script);
  std::wstring command =
      L"start.exe /unix /usr/bin/python3 \"" + win::FromUtf8(UnixPath(scriptPath)) + L"\" \"" +
      win::FromUtf8(UnixPath(file)) + L"\" \"" + win::FromUtf8(UnixPath(out)) + L"\"";
  STARTUPINFOW si{sizeof(si)};
  PROCESS_INFORMATION pi{};
  std::map<std::string, std::wstring> lines;
  if (GetFileAttributesW(L"Z:\\usr\\bin\\python3") == INVALID_FILE_ATTRIBUTES ||
      !CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    return lines;
  }
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  for (int i = 0; i < 200 && GetFileAttributesW(out.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
    Sleep(50);
  std::ifstream in(out.c_str(), std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    const size_t equals = line.find('=');
    if (equals != std::string::npos)
      lines[line.substr(0, equals)] = win::FromUtf8(line.substr(equals + 1));
  }
  return lines;
}

}  // namespace host_python
