// The one road from a path of the program to a path VBMP3.dll can open.
// Every call that hands the library a file goes through it: the name builder,
// the property dialog and the player.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "win/seam.h"

// The ANSI path to give the library for path:
// - its ANSI form, when the code page holds every character of it;
// - otherwise the ANSI form of its short (8.3) path, which the file system
//   keeps in plain characters;
// - for a file that is not there at all, a form that cannot name any file, so
//   that the library reports it missing as it does any other missing file;
// - nothing when the file is there but no ANSI path reaches it (a volume that
//   keeps no short names). A near form would be worse than none: the code
//   page's best fit turns "Café.mp3" into "Cafe.mp3", which may be another
//   file.
std::optional<std::string> LibraryPath(const std::wstring& path);

// The message for a file that LibraryPath cannot reach: it names the file.
std::wstring UnreachablePathMessage(const std::wstring& path);

// GetShortPathNameW, replaceable so tests can stand for a volume without
// short names (Wine makes one up for every file).
extern win::Seam<decltype(&GetShortPathNameW)> g_getShortPathName;
