// The settings file's reader and writer. Texts cross to the file in the
// ANSI code page through the private-profile functions.
#pragma once
#include <string>

class INIAccess {
 public:
  std::wstring FileName;
  std::wstring Section;

  // FileName = the program's folder, a backslash unless it already ends
  // with one, and fileName. directory overrides the program's folder.
  void SetAppPathFilename(const std::wstring& fileName, const std::wstring& directory = L"");
  bool SetINIData(const std::wstring& key, const std::wstring& data, const std::wstring& section);
  std::wstring GetINIData(const std::wstring& key, const std::wstring& section);

 private:
  bool UseSection(const std::wstring& section);
};
