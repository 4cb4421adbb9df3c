// Registration with the update monitor カネナリ, which keeps its registry area
// under HKEY_CURRENT_USER\Software\Upcheck. One object per operation: set the
// properties, then call WriteData (or CheckNewVer). Failures are raised as
// AppError numbered 0x80040000 + n (see upcheck_rules.h).
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

class UpCheck {
 public:
  // true: the running executable, as its folder, base name and ".EXE";
  // false: no path.
  void FilePath(bool useProgramPath);
  bool InstalledUpCheck();
  // Whether the monitor knows a newer build of the program than ours.
  bool CheckNewVer();
  void MailAddress(const std::wstring& value) { mailAddress_ = value; }
  void DisplayHost(const std::wstring& value) { displayHost_ = value; }
  void Author(const std::wstring& value) { author_ = value; }
  void DisplayName(const std::wstring& value) { displayName_ = value; }
  void DistinctName(const std::wstring& value) { distinctName_ = value; }
  // Below 1: WriteData stores the build computed from the program's version.
  void Build(int32_t value) { build_ = value; }
  void IconIndex(int32_t value) { iconIndex_ = value; }
  // Index 0 or 1 sets the address WriteData writes; 2 to 255 writes the
  // further address "InfoURL<n>" at once.
  void InfoURL(const std::wstring& url, uint8_t id);
  void WriteData();

 private:
  bool SetRegString(HKEY key, const std::wstring& name, const std::wstring& text);
  static std::wstring JoinPath(const std::wstring& folder, const std::wstring& file);
  int32_t GetAppBuild();

  std::wstring mailAddress_;
  std::wstring displayHost_;
  std::wstring author_;
  std::wstring displayName_;
  std::wstring distinctName_;
  int32_t build_ = 0;
  std::wstring infoUrl_;
  std::wstring filePath_;
  int32_t iconIndex_ = 0;
};
