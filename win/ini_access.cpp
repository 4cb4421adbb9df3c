#include "win/ini_access.h"

#include <windows.h>

#include "win/file_lookup.h"
#include "win/text.h"
#include "win/ui.h"

void INIAccess::SetAppPathFilename(const std::wstring& fileName, const std::wstring& directory) {
  std::wstring dir = directory.empty() ? win::ProgramDirectory() : directory;
  if (dir.empty() || dir.back() != L'\\') dir += L'\\';
  FileName = dir + fileName;
}

bool INIAccess::SetINIData(const std::wstring& key, const std::wstring& data,
                           const std::wstring& section) {
  if (FileName.empty() || (section.empty() && Section.empty())) return false;
  if (!section.empty()) Section = section;
  std::string s = win::ToAnsi(Section), k = win::ToAnsi(key), d = win::ToAnsi(data),
              f = win::ToAnsi(FileName);
  return WritePrivateProfileStringA(s.c_str(), k.c_str(), d.c_str(), f.c_str()) != 0;
}

std::wstring INIAccess::GetINIData(const std::wstring& key, const std::wstring& section) const {
  const std::wstring& from = section.empty() ? Section : section;
  if (FileName.empty() || from.empty()) return L"";
  // A settings file that the lookup cannot see (hidden, system) counts as
  // missing, like any other file the program looks for.
  if (!win::NormalFileExists(FileName)) return L"";
  std::string s = win::ToAnsi(from), k = win::ToAnsi(key), f = win::ToAnsi(FileName);
  char buffer[256] = {};
  DWORD n = GetPrivateProfileStringA(s.c_str(), k.c_str(), "", buffer, sizeof(buffer), f.c_str());
  if (n == 0) return L"";
  return win::FromAnsi(std::string(buffer, strnlen(buffer, sizeof(buffer))));
}

std::wstring INIAccess::Read(const std::wstring& section, const std::wstring& key) {
  return GetINIData(key, section);
}

void INIAccess::Write(const std::wstring& section, const std::wstring& key,
                      const std::wstring& text) {
  // Whether the file took it is not examined: the next start reads what is there.
  SetINIData(key, text, section);
}
