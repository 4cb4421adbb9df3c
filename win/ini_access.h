// The settings file's reader and writer. Texts cross to the file in the
// ANSI code page through the private-profile functions.
#pragma once
#include <string>

#include "settings/settings_store.h"

class INIAccess : public SettingsStore {
 public:
  std::wstring FileName;
  // The section a write without a section of its own goes to; a write that
  // names one makes it the current section. Reads never change it.
  std::wstring Section;

  // FileName = the program's folder, a backslash unless it already ends
  // with one, and fileName. directory overrides the program's folder.
  void SetAppPathFilename(const std::wstring& fileName, const std::wstring& directory = L"");
  bool SetINIData(const std::wstring& key, const std::wstring& data, const std::wstring& section);
  std::wstring GetINIData(const std::wstring& key, const std::wstring& section) const;

  // SettingsStore
  std::wstring Read(const std::wstring& section, const std::wstring& key) override;
  void Write(const std::wstring& section, const std::wstring& key,
             const std::wstring& text) override;
};
