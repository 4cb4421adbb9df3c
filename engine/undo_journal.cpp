#include "engine/undo_journal.h"

#include <system_error>

#include "engine/path_rules.h"
#include "win/ui.h"

namespace {

DWORD WriteAll(HANDLE file, const std::string& bytes) {
  DWORD wrote = 0;
  if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr))
    return GetLastError();
  return wrote == bytes.size() ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

// Write-through: a write returns once its bytes are on the disk, which
// costs one write per line instead of a write and a flush.
HANDLE CreateWriteThrough(const std::wstring& path) {
  return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
}

JournalTime Now() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

}  // namespace

std::wstring JournalPathIn(const std::wstring& programFolder) {
  return AddPathSeparator(programFolder.empty() ? win::ProgramDirectory() : programFolder) +
         kJournalFileName;
}

bool JournalExists(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

JournalFile::~JournalFile() {
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

DWORD JournalFile::Create() {
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  file_ = CreateWriteThrough(path_);
  if (file_ == INVALID_HANDLE_VALUE) return GetLastError();
  return WriteAll(file_, FormatJournalHeader(Now()));
}

DWORD JournalFile::Append(const JournalEntry& entry) {
  if (file_ == INVALID_HANDLE_VALUE) return ERROR_INVALID_HANDLE;
  return WriteAll(file_, FormatJournalLine(entry));
}

void JournalFile::Discard() { DeleteFileW(path_.c_str()); }

Journal ReadJournalFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "open undo journal");
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  BOOL ok;
  while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr)) && got > 0) bytes.append(buffer, got);
  DWORD error = ok ? ERROR_SUCCESS : GetLastError();
  CloseHandle(file);
  if (error != ERROR_SUCCESS)
    throw std::system_error(static_cast<int>(error), std::system_category(), "read undo journal");
  return ParseJournal(bytes);
}

DWORD KeepRemainingLines(const std::wstring& path, const std::wstring& header,
                         const std::vector<JournalEntry>& remaining) {
  if (remaining.empty()) {
    if (DeleteFileW(path.c_str())) return ERROR_SUCCESS;
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
  }
  std::wstring next = path + L".new";
  HANDLE file = CreateWriteThrough(next);
  if (file == INVALID_HANDLE_VALUE) return GetLastError();
  DWORD error = WriteAll(file, FormatJournal(header, remaining));
  CloseHandle(file);
  if (error == ERROR_SUCCESS &&
      !MoveFileExW(next.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    error = GetLastError();
  if (error != ERROR_SUCCESS) DeleteFileW(next.c_str());
  return error;
}
