#include "engine/undo_journal.h"

#include "engine/path_rules.h"
#include "engine/rename_entry.h"
#include "win/ui.h"
#include "win/whole_file.h"

namespace {

DWORD WriteAll(HANDLE file, const std::string& bytes) {
  DWORD wrote = 0;
  if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr))
    return GetLastError();
  return wrote == bytes.size() ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
}

// Write-through: a write returns once its bytes are on the disk, which
// costs one write per line instead of a write and a flush.
win::OwnedFile CreateWriteThrough(const std::wstring& path) {
  return win::OwnedFile(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH,
                                    nullptr));
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

DWORD JournalFile::Create() {
  file_.Reset();  // the run before's journal is closed before it is replaced
  file_ = CreateWriteThrough(path_);
  if (!file_) return GetLastError();
  return WriteAll(file_.Get(), FormatJournalHeader(Now()));
}

DWORD JournalFile::Append(const JournalEntry& entry) {
  if (!file_) return ERROR_INVALID_HANDLE;
  return WriteAll(file_.Get(), FormatJournalLine(entry));
}

DWORD JournalFile::AppendFolder(const std::wstring& folder) {
  if (!file_) return ERROR_INVALID_HANDLE;
  return WriteAll(file_.Get(), FormatJournalFolderLine(folder));
}

DWORD JournalFile::AppendMovedIdentity(const FileIdentity& identity) {
  if (!file_) return ERROR_INVALID_HANDLE;
  return WriteAll(file_.Get(), FormatJournalMovedIdentityLine(identity));
}

void JournalFile::Discard() { DeleteFileW(path_.c_str()); }

Journal ReadJournalFile(const std::wstring& path) {
  return ParseJournal(win::ReadWholeFile(path, L"取り消し用の記録ファイルを読み込めません。"));
}

namespace {

// Replaces the journal by bytes through a new file, so that a crash leaves
// either the old journal or the new one.
DWORD ReplaceJournal(const std::wstring& path, const std::string& bytes) {
  std::wstring next = path + L".new";
  win::OwnedFile file = CreateWriteThrough(next);
  if (!file) return GetLastError();
  DWORD error = WriteAll(file.Get(), bytes);
  file.Reset();  // closed before it replaces the journal
  if (error == ERROR_SUCCESS &&
      !MoveFileExW(next.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    error = GetLastError();
  if (error != ERROR_SUCCESS) DeleteFileW(next.c_str());
  return error;
}

}  // namespace

DWORD KeepRemainingLines(const std::wstring& path, const std::wstring& header,
                         const std::vector<JournalEntry>& remaining,
                         const std::vector<std::wstring>& foldersLeft) {
  if (remaining.empty()) {
    if (DeleteFileW(path.c_str())) return ERROR_SUCCESS;
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
  }
  return ReplaceJournal(path, FormatJournal(header, remaining, foldersLeft));
}

DWORD UpdateJournalIdentity(const std::wstring& journalPath, const std::wstring& path,
                            const FileIdentity& before, const FileIdentity& after) {
  if (!JournalExists(journalPath)) return ERROR_SUCCESS;
  Journal journal;
  try {
    journal = ReadJournalFile(journalPath);
  } catch (const AppError& error) {
    return error.Number();
  }
  const std::wstring full = FullPathOf(path);
  bool changed = false;
  for (JournalEntry& entry : journal.entries) {
    if (entry.identity != before || !SameIgnoringCase(FullPathOf(entry.target), full)) continue;
    entry.identity = after;
    changed = true;
  }
  if (!changed) return ERROR_SUCCESS;
  return ReplaceJournal(journalPath,
                        FormatJournal(journal.header, journal.entries, journal.createdFolders));
}

JournalIdentityWatch::JournalIdentityWatch(std::wstring journalPath, std::wstring path)
    : journalPath_(std::move(journalPath)), path_(std::move(path)) {
  if (!journalPath_.empty() && JournalExists(journalPath_))
    before_ = FileIdentityReader().Read(path_);
}

DWORD JournalIdentityWatch::AfterRewrite() {
  if (!before_) return ERROR_SUCCESS;
  std::optional<FileIdentity> after = FileIdentityReader().Read(path_);
  if (!after || *after == *before_) return ERROR_SUCCESS;
  return UpdateJournalIdentity(journalPath_, path_, *before_, *after);
}
