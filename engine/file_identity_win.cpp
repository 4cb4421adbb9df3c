#include "engine/file_identity_win.h"

#include <algorithm>

#include "engine/rename_entry.h"
#include "win/handles.h"
#include "win/library.h"

namespace {

// NtQueryInformationFile's FileInternalInformation: the file index alone,
// the same number GetFileInformationByHandle gives, without the volume.
struct InternalInformation {
  LARGE_INTEGER indexNumber;
};
struct IoStatus {
  union {
    LONG status;
    void* pointer;
  };
  ULONG_PTR information;
};
using QueryInformationFile = LONG(WINAPI*)(HANDLE, IoStatus*, void*, ULONG, int);
constexpr int kFileInternalInformation = 6;

std::optional<uint64_t> FileIndexOf(HANDLE file) {
  static QueryInformationFile query = [] {
    QueryInformationFile function = nullptr;
    win::ResolveExport(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationFile", function);
    return function;
  }();
  if (!query) return std::nullopt;
  IoStatus status{};
  InternalInformation information{};
  if (query(file, &status, &information, sizeof information, kFileInternalInformation) < 0)
    return std::nullopt;
  return static_cast<uint64_t>(information.indexNumber.QuadPart);
}

// For the attributes alone (and for the move, with DELETE), sharing all:
// no other program's use of the file is refused meanwhile.
HANDLE OpenForIdentity(const std::wstring& path, DWORD moreAccess) {
  return CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES | moreAccess,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     0, nullptr);
}

bool SameRoot(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

std::wstring FullPathOf(const std::wstring& path) {
  if (path.empty()) return path;
  DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return path;
  full.resize(length);
  return full;
}

std::optional<uint32_t> FileIdentityReader::KnownSerial(const std::wstring& root) const {
  for (const auto& [known, serial] : serials_)
    if (SameRoot(known, root)) return serial;
  return std::nullopt;
}

std::optional<FileIdentity> FileIdentityReader::Read(const std::wstring& path, DWORD& error) {
  win::OwnedFile file(OpenForIdentity(path, 0));
  if (!file) {
    error = GetLastError();
    return std::nullopt;
  }
  return ReadOpen(file.Get(), path, error);
}

std::optional<FileIdentity> FileIdentityReader::ReadOpen(HANDLE file, const std::wstring& path,
                                                         DWORD& error) {
  const std::wstring root = VolumeRootOf(FullPathOf(path));
  if (std::optional<uint32_t> serial = root.empty() ? std::nullopt : KnownSerial(root)) {
    if (std::optional<uint64_t> index = FileIndexOf(file)) return FileIdentity{*serial, *index};
  }
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(file, &information)) {
    error = GetLastError();
    return std::nullopt;
  }
  if (!root.empty()) serials_.emplace_back(root, information.dwVolumeSerialNumber);
  return FileIdentity{
      information.dwVolumeSerialNumber,
      static_cast<uint64_t>(information.nFileIndexHigh) << 32 | information.nFileIndexLow};
}

FileToMove::FileToMove(const std::wstring& path, FileIdentityReader& identities)
    : file_(OpenForIdentity(path, DELETE)) {
  DWORD ignored = 0;
  if (file_) identity_ = identities.ReadOpen(file_.Get(), path, ignored);
}

DWORD FileToMove::MoveTo(const std::wstring& from, const std::wstring& to) {
  if (file_ && !(to != from && SameIgnoringCase(from, to))) {
    const std::wstring full = FullPathOf(to);
    const size_t nameBytes = full.size() * sizeof(wchar_t);
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = FALSE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(nameBytes);
    std::copy(full.begin(), full.end(), rename->FileName);
    rename->FileName[full.size()] = L'\0';
    if (SetFileInformationByHandle(file_.Get(), FileRenameInfo, rename,
                                   static_cast<DWORD>(buffer.size()))) {
      file_.Reset();
      return ERROR_SUCCESS;
    }
  }
  // Whatever kept the handle from moving it, the platform's own move gives
  // the outcome (and the error) a run without a journal has.
  file_.Reset();
  return MoveWithoutReplacing(from, to);
}
