// Test support for the options part: a scratch registry standing in for
// HKEY_CURRENT_USER, and a message-box recorder that answers in place of
// the user.
#pragma once
#include <windows.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "win/ui.h"

// Redirects HKEY_CURRENT_USER of this process to a fresh key for the life
// of the object; the key is deleted afterwards. The real hive is never
// touched by the code under test.
class ScratchRegistry {
 public:
  ScratchRegistry();
  ~ScratchRegistry();
  ScratchRegistry(const ScratchRegistry&) = delete;
  ScratchRegistry& operator=(const ScratchRegistry&) = delete;

  struct Value {
    DWORD type = REG_NONE;
    std::string bytes;
  };

  // The update monitor's own key, whose existence means it is installed.
  void InstallMonitor() { CreateKey(L"Software\\Upcheck"); }
  void CreateKey(const std::wstring& path);
  bool KeyExists(const std::wstring& path) const;
  std::optional<Value> Read(const std::wstring& path, const std::string& name) const;
  // The text of a REG_SZ value without its terminating NUL, decoded.
  std::wstring Text(const std::wstring& path, const std::string& name) const;
  std::optional<DWORD> Dword(const std::wstring& path, const std::string& name) const;
  void Write(const std::wstring& path, const std::string& name, DWORD type, const void* data,
             DWORD size);
  void WriteDword(const std::wstring& path, const std::string& name, DWORD value) {
    Write(path, name, REG_DWORD, &value, sizeof(value));
  }
  void WriteText(const std::wstring& path, const std::string& name, const std::string& ansi) {
    Write(path, name, REG_SZ, ansi.c_str(), static_cast<DWORD>(ansi.size() + 1));
  }

 private:
  std::wstring name_;
  HKEY key_ = nullptr;
};

// Records every message box (win::MessageBoxText) and answers from a queue
// (IDOK when the queue is empty).
struct MessageBoxRecorder {
  struct Shown {
    std::wstring text;
    UINT flags;
    std::wstring caption;
  };
  MessageBoxRecorder();
  ~MessageBoxRecorder();
  std::vector<Shown> shown;
  std::deque<int> answers;
  // Called instead of answering, to raise an error out of the box's caller.
  bool throwOnNext = false;

 private:
  win::Seam<win::MessageBoxFunction>::Replacement standIn_;
};
