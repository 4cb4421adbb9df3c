#include "tests/engine/win_support.h"

#include <stdexcept>

#include "audio/vbmp3_api.h"

namespace engine_test {

namespace {

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = folder + L"\\" + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else
        DeleteFileW(path.c_str());
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

ScratchFolder::ScratchFolder() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  static unsigned counter = 0;
  for (;;) {
    path_ = std::wstring(temp) + L"velnoir_engine_" + std::to_wstring(GetCurrentProcessId()) +
            L"_" + std::to_wstring(++counter);
    if (CreateDirectoryW(path_.c_str(), nullptr)) break;
    if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("scratch folder");
  }
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

std::string ReadBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("read");
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("write");
  DWORD wrote = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr);
  CloseHandle(file);
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string TaggedMp3(const std::string& title, const std::string& artist,
                      const std::string& album, const std::string& year,
                      const std::string& comment, int genre) {
  std::string bytes;
  // 128 kbit/s, 44.1 kHz, no padding: 417 bytes a frame.
  for (int i = 0; i < 8; ++i) {
    std::string frame(417, '\0');
    frame[0] = '\xFF';
    frame[1] = '\xFB';
    frame[2] = '\x90';
    frame[3] = '\x00';
    bytes += frame;
  }
  auto field = [](const std::string& text, size_t width) {
    std::string f = text.substr(0, width);
    f.resize(width, '\0');
    return f;
  };
  bytes += "TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4) +
           field(comment, 30) + std::string(1, static_cast<char>(genre));
  return bytes;
}

bool LibraryReady() {
  static bool ready = LoadVbmp3() && (g_vbmp3.init() & 0xFFFF) != 0;
  return ready;
}

}  // namespace engine_test
