#include "tests/options/options_test_support.h"

#include <gtest/gtest.h>

#include "settings/app_error.h"
#include "win/handles.h"
#include "win/text.h"

namespace {

MessageBoxRecorder* g_recorder = nullptr;

int Record(HWND, const std::wstring& text, UINT flags, const wchar_t* caption) {
  g_recorder->shown.push_back({text, flags, caption ? caption : L""});
  if (g_recorder->throwOnNext) {
    g_recorder->throwOnNext = false;
    throw AppError(0x8004000A, L"テスト用のエラー");
  }
  if (g_recorder->answers.empty()) return IDOK;
  int answer = g_recorder->answers.front();
  g_recorder->answers.pop_front();
  return answer;
}

}  // namespace

ScratchRegistry::ScratchRegistry() {
  static int counter = 0;
  name_ = L"Software\\VelnoirTests\\options-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
          std::to_wstring(++counter);
  DWORD disposition = 0;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, name_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key_, &disposition) != ERROR_SUCCESS) {
    ADD_FAILURE() << "cannot create the scratch key";
    key_ = nullptr;
    return;
  }
  if (RegOverridePredefKey(HKEY_CURRENT_USER, key_) != ERROR_SUCCESS)
    ADD_FAILURE() << "cannot redirect HKEY_CURRENT_USER";
}

ScratchRegistry::~ScratchRegistry() {
  RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  if (!key_) return;
  RegDeleteTreeW(key_, nullptr);
  RegCloseKey(key_);
  RegDeleteKeyW(HKEY_CURRENT_USER, name_.c_str());
}

void ScratchRegistry::CreateKey(const std::wstring& path) {
  win::OwnedKey key;
  ASSERT_EQ(RegCreateKeyExW(key_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                            nullptr, key.Receive(), nullptr),
            ERROR_SUCCESS);
}

bool ScratchRegistry::KeyExists(const std::wstring& path) const {
  win::OwnedKey key;
  if (RegOpenKeyExW(key_, path.c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS) return true;
  key.Release();  // nothing was opened
  return false;
}

std::optional<ScratchRegistry::Value> ScratchRegistry::Read(const std::wstring& path,
                                                            const std::string& name) const {
  // The exact stored bytes: RegGetValue would add a missing NUL.
  std::string ansi = win::ToAnsi(path);
  win::OwnedKey key;
  if (RegOpenKeyExA(key_, ansi.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) {
    key.Release();  // nothing was opened
    return std::nullopt;
  }
  Value value;
  DWORD size = 0;
  LONG status = RegQueryValueExA(key.Get(), name.c_str(), nullptr, &value.type, nullptr, &size);
  if (status == ERROR_SUCCESS) {
    value.bytes.resize(size);
    status = RegQueryValueExA(key.Get(), name.c_str(), nullptr, &value.type,
                              reinterpret_cast<BYTE*>(value.bytes.data()), &size);
    value.bytes.resize(size);
  }
  if (status != ERROR_SUCCESS) return std::nullopt;
  return value;
}

std::wstring ScratchRegistry::Text(const std::wstring& path, const std::string& name) const {
  std::optional<Value> value = Read(path, name);
  if (!value || value->type != REG_SZ) return L"<missing>";
  std::string bytes = value->bytes;
  if (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
  return win::FromAnsi(bytes);
}

std::optional<DWORD> ScratchRegistry::Dword(const std::wstring& path,
                                            const std::string& name) const {
  std::optional<Value> value = Read(path, name);
  if (!value || value->type != REG_DWORD || value->bytes.size() != 4) return std::nullopt;
  DWORD result = 0;
  memcpy(&result, value->bytes.data(), 4);
  return result;
}

void ScratchRegistry::Write(const std::wstring& path, const std::string& name, DWORD type,
                            const void* data, DWORD size) {
  win::OwnedKey key;
  std::string ansi = win::ToAnsi(path);
  ASSERT_EQ(RegCreateKeyExA(key_, ansi.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                            nullptr, key.Receive(), nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(key.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size),
            ERROR_SUCCESS);
}

MessageBoxRecorder::MessageBoxRecorder() : standIn_(win::g_messageBox, &Record) {
  g_recorder = this;
}

MessageBoxRecorder::~MessageBoxRecorder() { g_recorder = nullptr; }
