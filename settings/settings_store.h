// Where settings are kept: texts by section and key. The settings file is
// the real store; tests use one in memory.
#pragma once
#include <string>

class SettingsStore {
 public:
  // The empty text when the key (or the whole store) is missing.
  virtual std::wstring Read(const std::wstring& section, const std::wstring& key) = 0;
  virtual void Write(const std::wstring& section, const std::wstring& key,
                     const std::wstring& text) = 0;

 protected:
  ~SettingsStore() = default;
};
