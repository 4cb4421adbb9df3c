// Files on Windows: the path arrives in the ANSI code page and is opened
// through the wide API, so long paths and any file name behave.
#include <windows.h>

#include <algorithm>
#include <string>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/io/file_io.h"

namespace vbmp3 {
namespace {

class Win32File : public RandomAccessFile {
 public:
  Win32File(HANDLE handle, uint64_t size) : handle_(handle), size_(size) {}
  ~Win32File() override { CloseHandle(handle_); }

  uint64_t Size() const override { return size_; }

  bool ReadAt(uint64_t offset, void* buffer, size_t n, size_t& got) override {
    got = 0;
    if (!MoveTo(offset)) return false;
    while (got < n) {
      const DWORD want = static_cast<DWORD>(std::min<size_t>(n - got, 1u << 30));
      DWORD read = 0;
      if (!ReadFile(handle_, static_cast<char*>(buffer) + got, want, &read, nullptr)) {
        position_ = kUnknown;
        return false;
      }
      position_ += read;
      if (read == 0) break;
      got += read;
    }
    return true;
  }

  bool WriteAt(uint64_t offset, const void* buffer, size_t n) override {
    if (!MoveTo(offset)) return false;
    size_t done = 0;
    while (done < n) {
      const DWORD want = static_cast<DWORD>(std::min<size_t>(n - done, 1u << 30));
      DWORD written = 0;
      if (!WriteFile(handle_, static_cast<const char*>(buffer) + done, want, &written, nullptr) ||
          written == 0) {
        position_ = kUnknown;
        return false;
      }
      position_ += written;
      done += written;
    }
    if (offset + n > size_) size_ = offset + n;
    return true;
  }

  bool Resize(uint64_t size) override {
    if (!MoveTo(size) || !SetEndOfFile(handle_)) return false;
    size_ = size;
    return true;
  }

  bool Flush() override { return FlushFileBuffers(handle_) != 0; }

  bool KeepCreationTime(const FILETIME& created) {
    return SetFileTime(handle_, &created, nullptr, nullptr) != 0;
  }

 private:
  static constexpr uint64_t kUnknown = UINT64_MAX;

  // Reads and writes go through the handle's own position, moved only when
  // they do not follow on from the last one. Under Wine a read given its
  // offset in an OVERLAPPED costs about 30 us more than a plain one, a sixth
  // of a small file's whole open, read and close, and the program reads
  // thousands of files in a row.
  bool MoveTo(uint64_t offset) {
    if (offset == position_) return true;
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN)) {
      position_ = kUnknown;
      return false;
    }
    position_ = offset;
    return true;
  }

  HANDLE handle_;
  uint64_t size_;
  uint64_t position_ = 0;
};

std::wstring Widen(const char* ansi) {
  const int n = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide.data(), n);
  wide.resize(static_cast<size_t>(n - 1));
  return wide;
}

// A full path longer than MAX_PATH needs the \\?\ form.
std::wstring LongPath(const std::wstring& path) {
  if (path.size() < MAX_PATH || path.rfind(L"\\\\?\\", 0) == 0) return path;
  DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring full(n, L'\0');
  n = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
  full.resize(n);
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

// A temporary file beside the original, moved over it on commit: the move
// replaces the name in one step, so a reader or a crash sees one file or the
// other. The original's attributes and creation time go to the new file
// first, as users see them in Explorer.
class Win32Replacement : public ReplacementFile {
 public:
  Win32Replacement(HANDLE handle, std::wstring temp, std::wstring target)
      : file_(std::make_unique<Win32File>(handle, 0)),
        temp_(std::move(temp)),
        target_(std::move(target)) {}
  ~Win32Replacement() override {
    if (committed_) return;
    file_.reset();
    SetFileAttributesW(temp_.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(temp_.c_str());
  }

  uint64_t Size() const override { return file_->Size(); }
  bool ReadAt(uint64_t offset, void* buffer, size_t n, size_t& got) override {
    return file_->ReadAt(offset, buffer, n, got);
  }
  bool WriteAt(uint64_t offset, const void* buffer, size_t n) override {
    return file_->WriteAt(offset, buffer, n);
  }
  bool Resize(uint64_t size) override { return file_->Resize(size); }
  bool Flush() override { return file_->Flush(); }

  bool Commit() override {
    WIN32_FILE_ATTRIBUTE_DATA original;
    if (!file_->Flush() ||
        !GetFileAttributesExW(target_.c_str(), GetFileExInfoStandard, &original)) {
      return false;
    }
    if (!file_->KeepCreationTime(original.ftCreationTime)) return false;
    file_.reset();
    const DWORD attributes = original.dwFileAttributes & ~DWORD{FILE_ATTRIBUTE_READONLY};
    if (!SetFileAttributesW(temp_.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL) ||
        !MoveFileExW(temp_.c_str(), target_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return false;
    }
    committed_ = true;
    return true;
  }

 private:
  std::unique_ptr<Win32File> file_;
  std::wstring temp_, target_;
  bool committed_ = false;
};

}  // namespace

std::unique_ptr<ReplacementFile> CreateReplacement(const char* path, int32_t& error) {
  const std::wstring target = LongPath(Widen(path));
  const size_t slash = target.find_last_of(L"\\/");
  const std::wstring folder =
      slash == std::wstring::npos ? std::wstring() : target.substr(0, slash + 1);
  // A name of our own rather than GetTempFileName's, which is limited to
  // MAX_PATH.
  static LONG counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::wstring temp = folder + L"~vbmp3-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(InterlockedIncrement(&counter)) + L".tmp";
    HANDLE h = CreateFileW(temp.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      error = VBMP3_ERR_NONE;
      return std::make_unique<Win32Replacement>(h, temp, target);
    }
    if (GetLastError() != ERROR_FILE_EXISTS) break;
  }
  error = VBMP3_ERR_WRITE;
  return nullptr;
}

std::unique_ptr<RandomAccessFile> OpenFile(const char* path, OpenMode mode, int32_t& error) {
  const std::wstring wide = LongPath(Widen(path));
  // Attributes and size in one call that needs no handle: under Wine every
  // handle call is a trip to the server, and the program reads thousands of
  // files in a row. A file that changes size meanwhile is read to its end.
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (wide.empty() || !GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) {
    const DWORD why = GetLastError();
    error = why == ERROR_ACCESS_DENIED || why == ERROR_SHARING_VIOLATION ? VBMP3_ERR_CANNOT_OPEN
                                                                         : VBMP3_ERR_FILE_NOT_FOUND;
    return nullptr;
  }
  if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) {
    error = VBMP3_ERR_FILE_NOT_FOUND;
    return nullptr;
  }
  if (mode == OpenMode::Update && (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY)) {
    error = VBMP3_ERR_READ_ONLY;
    return nullptr;
  }
  // Readers let others read, write, rename and delete (a file that plays
  // must not make the tag editor or the rename run fail); the writer lets
  // others only read.
  const DWORD access = mode == OpenMode::Update ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
  const DWORD share = mode == OpenMode::Update
                          ? FILE_SHARE_READ
                          : FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  HANDLE h = CreateFileW(wide.c_str(), access, share, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD why = GetLastError();
    error = why == ERROR_FILE_NOT_FOUND || why == ERROR_PATH_NOT_FOUND ? VBMP3_ERR_FILE_NOT_FOUND
                                                                       : VBMP3_ERR_CANNOT_OPEN;
    return nullptr;
  }
  error = VBMP3_ERR_NONE;
  const uint64_t size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  return std::make_unique<Win32File>(h, size);
}

}  // namespace vbmp3
