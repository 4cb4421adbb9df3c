// Scratch folders and files for the Windows tests.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace testing_files {

// A new empty folder under the temp folder, removed with its files by the
// destructor.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::wstring& tag = L"test");
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::wstring& Path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
// Every file under folder, in its subfolders too, hidden ones included.
std::vector<std::wstring> FilesUnder(const std::wstring& folder);
// The name the file system holds for path's last component, in its own
// letter case; empty when there is none.
std::wstring NameOnDisk(const std::wstring& path);
// The folder of the running test exe (where the program and DLLs are built).
std::wstring BinFolder();

}  // namespace testing_files
