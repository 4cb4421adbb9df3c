// The template list on disk: "velnoir.lst" beside the program, in the ANSI
// code page with CR LF line ends.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "settings/template_list.h"

// What a save did: wrote the file, or left it alone because the last load
// failed on a file error, with the list in memory unchanged since or edited.
enum class ListFileSave { kSaved, kUnchanged, kEditsLost };

class ListFile {
 public:
  explicit ListFile(std::wstring path) : path_(std::move(path)) {}

  // The folder (empty: the running exe's) with a separator, and
  // "velnoir.lst".
  static std::wstring PathIn(const std::wstring& directory = L"");

  const std::wstring& Path() const { return path_; }

  // Replaces templates from the file; when the file is missing or holds no
  // template, calls announceDefaults (where the user is told), takes the
  // three default templates and writes them at once. File errors throw an
  // AppError naming the file; after such an error Save leaves the file
  // alone, so the user's templates are not overwritten by a partial list.
  void Load(TemplateList& templates, const std::function<void()>& announceDefaults);

  // Writes templates to the file, replacing its content (unless the last
  // load failed on a file error). File errors throw an AppError naming the
  // file.
  ListFileSave Save(const TemplateList& templates);

  // True while the last load failed on a file error.
  bool LoadFailed() const { return loadFailed_; }

 private:
  std::wstring path_;
  bool loadFailed_ = false;
  // The template list as it stood when the last load failed: a list that
  // differs from it at close holds edits that cannot be saved.
  TemplateList listAtFailedLoad_;
};

// The load as the program does it at start: the user is told in a box
// (owned by owner) when a new list file is made.
void LoadListFile(HWND owner, ListFile& file, TemplateList& templates);
