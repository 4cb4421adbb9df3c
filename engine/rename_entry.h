// Rename list entries: the entry for a file, and checking and renaming one
// entry's file.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/rename_list.h"
#include "engine/rename_run_logic.h"
#include "settings/preferences.h"
#include "win/file_lookup.h"

inline constexpr const wchar_t* kSourceMissingText = L"入力ファイルが存在しません。";
inline constexpr const wchar_t* kNoTargetText = L"リネーム後ファイル名がありません。";
inline constexpr const wchar_t* kDuplicateText = L"ファイル名が重複しています。";
inline constexpr const wchar_t* kRenameErrorText = L"リネームエラー：";
inline constexpr const wchar_t* kPathTooLongText = L"リネーム後のパスが長すぎます。";

// The entry for the path exactly as given, its target built from the
// default template: what every add puts in the list.
RenameEntry EntryForPath(const std::wstring& path, const Preferences& preferences);
// The entry for a source with the target chosen for it; the name columns
// follow the two paths.
RenameEntry EntryWithTarget(std::wstring source, std::wstring target);

// Checks the entry against the file system and renames the file. The
// outcome's text is the target path when the file was renamed, otherwise
// the message why not; renamed tells the two apart (a message may read like
// a target). Never replaces an existing file and never throws.
RenameOutcome ExecRenameFile(const std::wstring& source, const std::wstring& target);

// ExecRenameFile with a step between the checks and the move: beforeMove
// runs only when the file is about to be moved, and a text it returns is
// the outcome instead of the move (the undo journal records the rename
// there, and a journal that cannot be written stops it).
// move, when given, makes the move in place of MoveWithoutReplacing (the
// journaled run moves the file through the handle it read its identity
// from), with the same promise never to replace a file.
using MoveFunction = std::function<unsigned long(const std::wstring& from, const std::wstring& to)>;
RenameOutcome TryRenameFileWith(const std::wstring& source, const std::wstring& target,
                                const std::function<std::optional<std::wstring>()>& beforeMove,
                                const MoveFunction& move = nullptr);

// Whether two paths are the same to the file system, which ignores letter
// case.
bool SameIgnoringCase(const std::wstring& a, const std::wstring& b);

// Whether a normal file other than source answers to target (a lookup, see
// win/file_lookup.h): source's own name in another letter case is not
// taken, another file's is.
win::Lookup LookupOtherFile(const std::wstring& source, const std::wstring& target);

// Moves a file without ever replacing an existing one, also when the two
// paths differ only in letter case. Returns 0 or the platform's error.
unsigned long MoveWithoutReplacing(const std::wstring& from, const std::wstring& to);
