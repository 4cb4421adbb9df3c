// The template list on disk: "velnoir.lst" beside the program, in the ANSI
// code page with CR LF line ends.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

// Replaces the template list from the list file; when the file is missing or
// holds no template, tells the user (owner of the message box), takes the
// three default templates and writes them at once. File errors throw
// an AppError naming the file; after such an error SaveListFile leaves the file alone,
// so the user's templates are not overwritten by a partial list.
// directory: the program's folder, where the settings file is too (empty:
// the folder of the running exe).
void LoadListFile(HWND owner, const std::wstring& directory = L"");

// What a save did: wrote the file, or left it alone because the last load
// failed on a file error, with the list in memory unchanged since or edited.
enum class ListFileSave { kSaved, kUnchanged, kEditsLost };

// Writes the template list to the list file, replacing its content (unless
// the last load failed on a file error). File errors throw an AppError naming the file.
ListFileSave SaveListFile(const std::wstring& directory = L"");

// The folder (empty: the running exe's) with a separator, and "velnoir.lst".
std::wstring ListFilePath(const std::wstring& directory = L"");

// The same two operations on any path; announceDefaults is called where the
// user is told that a new list file is made.
void LoadListFileAt(const std::wstring& path, const std::function<void()>& announceDefaults);
ListFileSave SaveListFileAt(const std::wstring& path);

// True while the last load failed on a file error.
bool ListFileLoadFailed();
