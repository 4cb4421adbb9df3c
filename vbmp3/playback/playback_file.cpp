#include "vbmp3/playback/playback_file.h"

#include <windows.h>

#include <algorithm>

#include "vbmp3/include/vbmp3.h"

namespace vbmp3::playback {
namespace {

class PlaybackFile : public RandomAccessFile {
 public:
  explicit PlaybackFile(HANDLE handle) : handle_(handle) {}
  ~PlaybackFile() override { CloseHandle(handle_); }

  uint64_t Size() const override {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle_, &size)) return 0;
    return static_cast<uint64_t>(size.QuadPart);
  }

  bool ReadAt(uint64_t offset, void* buffer, size_t n, size_t& got) override {
    got = 0;
    auto* out = static_cast<uint8_t*>(buffer);
    while (got < n) {
      OVERLAPPED at{};
      const uint64_t position = offset + got;
      at.Offset = static_cast<DWORD>(position);
      at.OffsetHigh = static_cast<DWORD>(position >> 32);
      const DWORD want = static_cast<DWORD>(std::min<size_t>(n - got, 1u << 30));
      DWORD read = 0;
      if (!ReadFile(handle_, out + got, want, &read, &at)) {
        return GetLastError() == ERROR_HANDLE_EOF;
      }
      if (read == 0) break;
      got += read;
    }
    return true;
  }

  // Playback only reads.
  bool WriteAt(uint64_t, const void*, size_t) override { return false; }
  bool Resize(uint64_t) override { return false; }
  bool Flush() override { return true; }

 private:
  HANDLE handle_;
};

std::wstring Widen(const std::string& text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

}  // namespace

std::unique_ptr<RandomAccessFile> OpenForPlayback(const std::string& path, int32_t& error) {
  const std::wstring wide = Widen(path);
  const DWORD attributes = wide.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    error = attributes == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_ACCESS_DENIED
                ? VBMP3_ERR_CANNOT_OPEN
                : VBMP3_ERR_FILE_NOT_FOUND;
    return nullptr;
  }
  HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN,
                              nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD why = GetLastError();
    error = why == ERROR_FILE_NOT_FOUND || why == ERROR_PATH_NOT_FOUND ? VBMP3_ERR_FILE_NOT_FOUND
                                                                       : VBMP3_ERR_CANNOT_OPEN;
    return nullptr;
  }
  return std::make_unique<PlaybackFile>(handle);
}

}  // namespace vbmp3::playback
