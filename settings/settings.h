// The settings record, one field per INI key of the "QKPomeren_SE Setting"
// section; the keys' spellings are in the key table (settings_file.cpp).
// Zero-filled at start, filled from the settings file as the main window
// opens, changed only by the options dialog. The choices are kept as the
// numbers stored, so that one this version has no item for survives a save.
#pragma once
#include <string>

// The options dialog's choices as the engine applies them; the record keeps
// each as the stored index of its item (engine/naming_policy.h reads them).
// "ファイル名に使えない文字が出た場合" (CantUseFilename).
enum class ForbiddenCharacterPolicy {
  kDelete,     // "問題となる文字列を除去"
  kFullWidth,  // "全角文字に置き換える": "AC／DC" keeps its meaning
  kUnderscore  // "「_」に置き換える"
};

// "未設定のフィールドがあった場合" (NoSettingField).
enum class EmptyFieldPolicy {
  kFallback,  // "無視": "ArtistName", "0000", ...
  kBlank,     // "空欄にする"
  kKeepName   // "リネームしない": the entry's target is its own path
};

// "同一ファイル名発見の場合" (EqualFileName).
enum class SameNamePolicy {
  kSkip,   // "スキップしてリストに残す"
  kNumber  // "番号を付けてリネームする": "name (2).ext", ...
};

struct Settings {
  // What happens to characters a file name cannot hold (CantUseFilename).
  int forbiddenCharacterAction = 0;
  // The file type is decided by analysing the data, not by the extension
  // (DataProve).
  bool fileTypeByAnalysis = false;
  // What the run does with a target that is already taken (EqualFileName).
  int sameNameAction = 0;
  // What an empty tag field gives in a name (NoSettingField).
  int emptyFieldAction = 0;
  // The template names are built from when added (RenameExt_Default).
  std::wstring defaultTemplate;
  // A double click or Enter on an entry: 0 the property dialog, else play
  // (DobleClick).
  int doubleClickAction = 0;
  // Names from the ID3v2 tag where it has the text, before the ID3v1 tag.
  bool preferId3v2 = false;
  // The rename run creates the folders a target names that do not exist yet.
  bool makeFolders = false;
  // Tag values' full-width ASCII forms become ASCII, half-width katakana
  // full-width, before a name is built from them.
  bool normalizeWidth = false;
};

// Used when the INI has no (or an empty) default template.
inline constexpr const wchar_t* kDefaultTemplate = L"%A - %T";
