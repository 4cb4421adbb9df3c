#include "engine/undo_run.h"

#include <optional>

#include "engine/path_rules.h"
#include "engine/progress_window.h"
#include "engine/rename_entry.h"
#include "engine/rename_run_logic.h"
#include "engine/target_folders.h"
#include "engine/undo_journal.h"
#include "win/ui.h"
#include "win/whole_file.h"

namespace {

UndoOutcome Failed(std::wstring text) { return {UndoResult::Failed, std::move(text)}; }

UndoOutcome FailedWith(DWORD error) {
  return Failed(std::wstring(kRenameErrorText) + win::SystemErrorText(error));
}

// The name the file system holds for a path, in its own letter case.
std::wstring NameOnDisk(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(path.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return L"";
  FindClose(find);
  return data.cFileName;
}

// Removes, deepest first, the folders the run created that are empty again;
// each one that holds something else stays, with a report line naming it.
// Returns those still there, for the journal.
std::vector<std::wstring> RemoveCreatedFolders(const std::vector<std::wstring>& created,
                                               ProgressWindow& progress) {
  std::vector<std::wstring> left;
  for (const std::wstring& folder : FolderRemovalOrder(created)) {
    if (RemoveDirectoryW(folder.c_str())) continue;
    DWORD error = GetLastError();
    // Gone already, or never made (the run stopped between the journal's
    // line and the folder, or a file stood in its place).
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_DIRECTORY)
      continue;
    left.push_back(folder);
    progress.AppendReport(kFolderKeptText + folder + L"\r\n");
  }
  return left;
}

}  // namespace

UndoOutcome UndoRename(const JournalEntry& entry) {
  FileIdentityReader identities;
  return UndoRenameWith(entry, identities);
}

UndoOutcome UndoRenameWith(const JournalEntry& entry, FileIdentityReader& identities) {
  try {
    DWORD targetAttributes = GetFileAttributesW(entry.target.c_str());
    if (targetAttributes == INVALID_FILE_ATTRIBUTES) {
      DWORD error = GetLastError();
      if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return FailedWith(error);
    }
    bool targetThere = targetAttributes != INVALID_FILE_ATTRIBUTES &&
                       !(targetAttributes & FILE_ATTRIBUTE_DIRECTORY);
    DWORD sourceAttributes = GetFileAttributesW(entry.source.c_str());
    bool sourceTaken = sourceAttributes != INVALID_FILE_ATTRIBUTES;

    if (!targetThere) {
      // The journal names a rename before it is made: a run that ended in
      // between left the file under its old name.
      if (sourceTaken && !(sourceAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return {UndoResult::NotRenamed, kUndoNotRenamedText};
      return Failed(kUndoTargetMissingText);
    }
    // A journal line of an earlier version does not say which file the run
    // renamed; otherwise the file at the target is held from the reading of
    // its identity to its move, which then needs no open of its own.
    std::optional<FileToMove> held;
    if (entry.identity) {
      held.emplace(entry.target, identities);
      if (!held->Identity()) return FailedWith(GetLastError());
      if (*held->Identity() != *entry.identity) return Failed(kUndoReplacedText);
    }
    if (sourceTaken) {
      if (!SameIgnoringCase(entry.source, entry.target)) return Failed(kUndoSourceTakenText);
      // One file answers to both names; the name it holds tells whether
      // the rename (a change of letter case) was made.
      if (entry.source == entry.target || NameOnDisk(entry.target) != GetFileNamePart(entry.target))
        return {UndoResult::NotRenamed, kUndoNotRenamedText};
    }
    const DWORD error = held ? held->MoveTo(entry.target, entry.source)
                             : MoveWithoutReplacing(entry.target, entry.source);
    if (error) return FailedWith(error);
    return {UndoResult::Restored, entry.source};
  } catch (const std::bad_alloc&) {
    return FailedWith(ERROR_NOT_ENOUGH_MEMORY);
  }
}

void RunUndo(HWND mainWindow, const std::wstring& journalPath, const UndoRunHooks& hooks) {
  if (!JournalExists(journalPath)) return;
  Journal journal = ReadJournalFile(journalPath);
  // A journal with no line to take back (the run ended before its first
  // rename was recorded) has nothing to show.
  if (journal.entries.empty()) {
    KeepRemainingLines(journalPath, journal.header, {});
    return;
  }
  auto body = [&](ProgressWindow& progress, const LoopHooks& loop) {
    UndoCallbacks callbacks;
    static_cast<LoopHooks&>(callbacks) = loop;
    FileIdentityReader identities;
    callbacks.undo = hooks.undoFile;
    if (!callbacks.undo)
      callbacks.undo = [&identities](const JournalEntry& e) {
        return UndoRenameWith(e, identities);
      };
    UndoTally tally = UndoEntries(journal.entries, callbacks);
    std::vector<std::wstring> foldersLeft = RemoveCreatedFolders(journal.createdFolders, progress);
    progress.AppendReport(ReportSummary(tally.total, tally.succeeded, tally.failed));
    if (DWORD error = KeepRemainingLines(journalPath, journal.header, tally.remaining, foldersLeft))
      progress.AppendReport(kJournalRewriteFailedText + win::SystemErrorText(error) + L"\r\n");
  };
  RunWithProgress(mainWindow, static_cast<int32_t>(journal.entries.size()), body, hooks.wait);
}
