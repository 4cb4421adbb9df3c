// The undo journal on disk: "velnoir.jnl" in the program folder, beside
// "velnoir.ini" and "velnoir.lst". The rename run writes one line per rename
// before making it, each line through to the disk, so that after a crash
// the journal names every rename that may have happened.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "engine/file_identity_win.h"
#include "engine/undo_journal_format.h"
#include "win/handles.h"

// The journal's path in the given program folder (the exe's folder when
// empty, as for the settings file).
std::wstring JournalPathIn(const std::wstring& programFolder);

// True when a journal file is there to undo from.
bool JournalExists(const std::wstring& path);

// Where a run records its renames. Errors are Windows error numbers, 0 for
// success.
class JournalSink {
 public:
  virtual ~JournalSink() = default;
  virtual std::wstring Path() const = 0;
  // Starts the run's journal, replacing the one of the run before.
  virtual DWORD Create() = 0;
  // Records one rename; when this returns 0, the line is on the disk.
  virtual DWORD Append(const JournalEntry& entry) = 0;
  // Records a folder the run is about to create; when this returns 0, the
  // line is on the disk. A sink that keeps no folders takes it as done.
  virtual DWORD AppendFolder(const std::wstring& /*folder*/) { return ERROR_SUCCESS; }
  // Records, after the rename just recorded was made, the identity the
  // move gave its file (a move to another volume copies it).
  virtual DWORD AppendMovedIdentity(const FileIdentity& /*identity*/) { return ERROR_SUCCESS; }
  // The run goes on without a journal: the previous run's journal goes, so
  // that undo does not offer to take back an older run as the last one.
  virtual void Discard() = 0;
};

// The journal file itself: a write-through handle, one write per line.
class JournalFile : public JournalSink {
 public:
  explicit JournalFile(std::wstring path) : path_(std::move(path)) {}

  std::wstring Path() const override { return path_; }
  DWORD Create() override;
  DWORD Append(const JournalEntry& entry) override;
  DWORD AppendFolder(const std::wstring& folder) override;
  DWORD AppendMovedIdentity(const FileIdentity& identity) override;
  void Discard() override;

 private:
  std::wstring path_;
  win::OwnedFile file_;
};

// The journal's lines. File errors throw an AppError naming the file.
Journal ReadJournalFile(const std::wstring& path);

// After an undo: removes the journal when no line is left, otherwise
// replaces it by the header and the lines left (through a new file, so that
// a crash leaves either the old journal or the new one). Returns 0 or the
// platform's error.
DWORD KeepRemainingLines(const std::wstring& path, const std::wstring& header,
                         const std::vector<JournalEntry>& remaining,
                         const std::vector<std::wstring>& foldersLeft = {});

// After the file at path was written anew in its own place (a tag that
// outgrew its room is written through a new file that replaces the old):
// every rename of the journal whose target is that path and whose file was
// the one before gets the file's new identity, so that undo still takes the
// file back. The journal is replaced through a new file, as above. Returns 0
// (also when there is no journal or no such rename) or the platform's error.
DWORD UpdateJournalIdentity(const std::wstring& journalPath, const std::wstring& path,
                            const FileIdentity& before, const FileIdentity& after);

// Keeps the journal's record of one file across a rewrite of its tags:
// made before the write, AfterRewrite after it.
class JournalIdentityWatch {
 public:
  // Nothing is watched when journalPath is empty or names no journal.
  JournalIdentityWatch(std::wstring journalPath, std::wstring path);
  // 0, or the platform's error when the journal could not be updated.
  DWORD AfterRewrite();

 private:
  std::wstring journalPath_, path_;
  std::optional<FileIdentity> before_;
};
