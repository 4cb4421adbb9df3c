// The undo journal "velnoir.jnl" as text: a first line naming when the run
// started, then one line per rename, "source TAB target", in UTF-8 with
// CR LF. A user can read it in any editor; the program reads it back to put
// the files of the last run where they were.
//
// Paths are written as they are, except for the few characters a line
// cannot hold as such: a control character (tab and line ends among them),
// '<', and a UTF-16 code unit with no character of its own (a lone
// surrogate, which Windows file names may contain). These are written as
// '<', their number in hexadecimal and '>' ("<9>" for a tab). '<' is not
// allowed in Windows file names, so real paths read back unchanged.
//
// A folder the run created is recorded, before it is created, on a line of
// its own: "<>" and the folder's path. No path starts that way and the line
// has no tab, so a program that knows only rename lines passes over it, and
// journals without such lines read as they always did.
//
// The file a rename moves is recorded on a line just before its rename
// line, in the same write: "<#>", its volume serial number in 8 hexadecimal
// digits, ':' and its file index in 16 ("<#>5A00C0DE:0000012345678ABC").
// Undo puts a file back only when the file at the target is still that one.
// When the move gave the file another identity (a move to another volume
// copies it), a line "<=>" with the new one follows the rename line. A cut
// write leaves an identity line without its rename line, which is no entry.
// Both lines have no tab and start neither with "<>" nor like an encoded
// path: an earlier version counts them as damaged, skips them and undoes
// the renames as it always did; a journal of an earlier version, without
// them, is undone as it was then.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/file_identity.h"

inline constexpr const wchar_t* kJournalFileName = L"velnoir.jnl";

struct JournalEntry {
  JournalEntry() = default;
  JournalEntry(std::wstring from, std::wstring to, std::optional<FileIdentity> file = std::nullopt)
      : source(std::move(from)), target(std::move(to)), identity(file) {}

  std::wstring source;  // where the file was before the run renamed it
  std::wstring target;  // where the run put it
  // The file the run renamed; none in a journal of an earlier version, or
  // when the file could not be asked for it.
  std::optional<FileIdentity> identity;
  bool operator==(const JournalEntry&) const = default;
};

struct JournalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

struct Journal {
  std::wstring header;                // the first line, without its line end
  std::vector<JournalEntry> entries;  // in the order the renames were made
  // Lines that could not be read as an entry (no tab, broken UTF-8). The
  // program writes none; a disk that lost part of a write could.
  size_t damagedLines = 0;
  // The file ended inside a line: the write of that line never completed,
  // so its rename was never made, and the line is not an entry.
  bool tornLastLine = false;
  // The folders the run created (or was about to), in the order recorded.
  std::vector<std::wstring> createdFolders;
};

// The first line, with the UTF-8 byte order mark in front so that editors
// of the platform take the file for UTF-8: "ぽめろ リネーム記録 開始 YYYY/MM/DD hh:mm:ss".
std::string FormatJournalHeader(const JournalTime& started);

// One rename's line, ending in CR LF, after its identity line when the
// entry has an identity.
std::string FormatJournalLine(const JournalEntry& entry);
// The identity line after a rename line, when the move gave the file
// another identity (a move to another volume copies the file).
std::string FormatJournalMovedIdentityLine(const FileIdentity& identity);
// One created folder's line, ending in CR LF.
std::string FormatJournalFolderLine(const std::wstring& folder);

// A whole journal: the header line as given (with the byte order mark), then
// every entry. Used to keep the lines an undo could not carry out.
std::string FormatJournal(const std::wstring& header, const std::vector<JournalEntry>& entries,
                          const std::vector<std::wstring>& createdFolders = {});

// Reads a journal back. Accepts CR LF or LF line ends, with or without the
// byte order mark; never throws on bad input.
Journal ParseJournal(std::string_view bytes);

// The escaping used in a line's paths, both ways (exposed for tests).
std::string EncodeJournalPath(std::wstring_view path);
bool DecodeJournalPath(std::string_view bytes, std::wstring& path);
