// Path and text helpers of the rename engine. They give the Windows shell's
// results (PathRemoveFileSpecA, PathFindFileNameA on the ANSI form of the
// path) but work on the wide text, so a double-byte character whose second
// byte is 0x5C ('ソ', '表') is never taken for a backslash.
#pragma once
#include <cstddef>
#include <string>

// The text unchanged if it ends with a backslash, otherwise with one added
// (the empty text gives a lone backslash).
std::wstring AddPathSeparator(const std::wstring& text);

// The folder holding the path's last component; a drive root keeps its
// backslash ("C:\song.mp3" gives "C:\"). Empty when there is nothing to
// remove ("C:\", "\", "").
std::wstring GetDirectoryPart(const std::wstring& path);

// The path's last component, cut to at most kFileNamePartBytes bytes of the
// ANSI code page at a character boundary.
std::wstring GetFileNamePart(const std::wstring& path);
inline constexpr size_t kFileNamePartBytes = 261;

// The full path a full-path template's text names, as Windows resolves it
// against currentFolder: a relative text from that folder, one that starts
// with a single backslash from its drive or share; "." and ".." folders
// (and empty ones) resolved, never above the root. The last component, the
// file's name, is left as it is. Empty currentFolder: the text unchanged.
std::wstring ResolveAgainstFolder(const std::wstring& text, const std::wstring& currentFolder);

// The text up to, not including, its first NUL.
std::wstring CutAtNull(const std::wstring& text);
std::string CutAtNull(const std::string& text);

// Bytes a character takes in code page 932: one for ASCII, the half-width
// katakana and the few single-byte extras, two for every other character.
// Exact for the characters that code page can represent.
size_t AnsiByteLength(char32_t c);
