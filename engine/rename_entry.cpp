#include "engine/rename_entry.h"

#include <windows.h>

#include <new>

#include "engine/name_builder.h"
#include "engine/path_rules.h"
#include "engine/windows_names.h"
#include "win/file_lookup.h"
#include "win/whole_file.h"

namespace {

RenameOutcome Failure(std::wstring text) { return {false, std::move(text)}; }

RenameOutcome PlatformFailure(DWORD error) {
  return Failure(std::wstring(kRenameErrorText) + win::SystemErrorText(error));
}

// Moves without ever replacing an existing file: the platform refuses when
// the target exists, even if it appeared after our own check.
DWORD MoveNoReplace(const std::wstring& from, const std::wstring& to) {
  if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_COPY_ALLOWED)) return ERROR_SUCCESS;
  return GetLastError();
}

// A rename that changes only letter case may be taken as a rename onto the
// file itself and do nothing while reporting success; going through a
// temporary name in the same folder makes it real.
DWORD MoveChangingCase(const std::wstring& from, const std::wstring& to) {
  std::wstring folder = AddPathSeparator(GetDirectoryPart(from));
  if (folder == L"\\") folder.clear();
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    std::wstring temp = folder + L"~velnoir" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                        std::to_wstring(attempt) + L".tmp";
    DWORD error = MoveNoReplace(from, temp);
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) continue;
    if (error != ERROR_SUCCESS) return error;
    error = MoveNoReplace(temp, to);
    if (error != ERROR_SUCCESS) MoveNoReplace(temp, from);  // put the file back as it was
    return error;
  }
  return ERROR_ALREADY_EXISTS;
}

// Whether two paths name one file: the same volume and file index. A file
// that cannot be opened to ask counts as another.
bool SameFile(const std::wstring& a, const std::wstring& b) {
  auto identity = [](const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
    HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool got = GetFileInformationByHandle(file, &info) != FALSE;
    CloseHandle(file);
    return got;
  };
  BY_HANDLE_FILE_INFORMATION first{}, second{};
  return identity(a, first) && identity(b, second) &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

}  // namespace

win::Lookup LookupOtherFile(const std::wstring& source, const std::wstring& target) {
  const win::Lookup found = win::LookupNormalFile(target);
  if (found != win::Lookup::Found || !SameIgnoringCase(source, target)) return found;
  return SameFile(source, target) ? win::Lookup::NotFound : win::Lookup::Found;
}

bool SameIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

unsigned long MoveWithoutReplacing(const std::wstring& from, const std::wstring& to) {
  return to != from && SameIgnoringCase(from, to) ? MoveChangingCase(from, to)
                                                  : MoveNoReplace(from, to);
}

RenameOutcome ExecRenameFile(const std::wstring& source, const std::wstring& target) {
  return TryRenameFileWith(source, target, nullptr);
}

RenameOutcome TryRenameFileWith(const std::wstring& source, const std::wstring& target,
                                const std::function<std::optional<std::wstring>()>& beforeMove,
                                const MoveFunction& move) {
  try {
    switch (win::LookupNormalFile(source)) {
      case win::Lookup::NotFound: return Failure(kSourceMissingText);
      case win::Lookup::Failed: return PlatformFailure(GetLastError());
      case win::Lookup::Found: break;
    }
    if (target.empty()) return Failure(kNoTargetText);
    if (!FitsWindowsLimits(target)) return Failure(kPathTooLongText);
    if (target != source) {
      switch (LookupOtherFile(source, target)) {
        case win::Lookup::Found: return Failure(kDuplicateText);
        case win::Lookup::Failed: return PlatformFailure(GetLastError());
        case win::Lookup::NotFound: break;
      }
    }
    if (beforeMove) {
      if (std::optional<std::wstring> refused = beforeMove()) return Failure(std::move(*refused));
    }
    DWORD error = move ? move(source, target) : MoveWithoutReplacing(source, target);
    if (error != ERROR_SUCCESS) return PlatformFailure(error);
    return {true, target};
  } catch (const std::bad_alloc&) {
    return PlatformFailure(ERROR_NOT_ENOUGH_MEMORY);
  }
}

RenameEntry EntryForPath(const std::wstring& path, const Preferences& preferences) {
  return EntryWithTarget(path, BuildRenameName(preferences, path, L"", -1));
}

RenameEntry EntryWithTarget(std::wstring source, std::wstring target) {
  RenameEntry entry;
  entry.source = std::move(source);
  entry.target = std::move(target);
  entry.sourceName = GetFileNamePart(entry.source);
  entry.targetName = GetFileNamePart(entry.target);
  return entry;
}
