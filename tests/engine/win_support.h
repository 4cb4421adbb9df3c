// Scratch folders, files and tagged MP3s for the engine's Windows tests.
#pragma once
#include <windows.h>

#include <string>

namespace engine_test {

// A new empty folder under the temp folder, removed with everything in it
// by the destructor.
class ScratchFolder {
 public:
  ScratchFolder();
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
bool Exists(const std::wstring& path);  // any kind of entry, hidden ones too

// A tiny MPEG-1 Layer III file (silent frames) ending in an ID3v1 tag with
// these fields (ANSI bytes, NUL padded).
std::string TaggedMp3(const std::string& title, const std::string& artist,
                      const std::string& album = "", const std::string& year = "",
                      const std::string& comment = "", int genre = 255);

// Loads VBMP3.dll from the test's folder and initialises it once.
bool LibraryReady();

}  // namespace engine_test
