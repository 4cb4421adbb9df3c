// Files' identities read from the disk, for the undo journal, and the full
// path the journal records for a path as the process resolves it now.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/file_identity.h"
#include "win/handles.h"

// The path made full against the process's current folder, as the file
// system resolves it at this moment; the path itself when it cannot be.
std::wstring FullPathOf(const std::wstring& path);

// Reads identities for one run or one undo. Asking a handle for its
// volume's serial number costs a call to the volume's driver, more than the
// rest of a rename under Wine: the serial is asked once per drive or share
// the reader meets, and each file's index from the file itself.
class FileIdentityReader {
 public:
  // The identity of the normal file at path, or none with the platform's
  // error. Opens the file for its attributes only.
  std::optional<FileIdentity> Read(const std::wstring& path, DWORD& error);
  std::optional<FileIdentity> Read(const std::wstring& path) {
    DWORD ignored = 0;
    return Read(path, ignored);
  }
  // The identity of the open file at path.
  std::optional<FileIdentity> ReadOpen(HANDLE file, const std::wstring& path, DWORD& error);

 private:
  std::optional<uint32_t> KnownSerial(const std::wstring& root) const;

  std::vector<std::pair<std::wstring, uint32_t>> serials_;  // volume root, its serial
};

// A file held open from the reading of its identity to its move: the move
// then needs no open of its own, which costs as much as the reading.
class FileToMove {
 public:
  FileToMove(const std::wstring& path, FileIdentityReader& identities);
  // Empty when the file could not be opened or asked.
  const std::optional<FileIdentity>& Identity() const { return identity_; }
  // Moves the file without ever replacing another: through the handle when
  // it can, otherwise (a change of letter case, another volume, a system
  // that cannot) as MoveWithoutReplacing does. 0 or the platform's error.
  DWORD MoveTo(const std::wstring& from, const std::wstring& to);

 private:
  win::OwnedFile file_;
  std::optional<FileIdentity> identity_;
};
