// The settings record, one field per INI key of the "QKPomeren_SE Setting"
// section (settings_file.h). Zero-filled at start, filled from the settings
// file as the main window opens, changed only by the options dialog.
#pragma once
#include <string>

struct Settings {
  int CantUseFilename = 0;
  bool DataProve = false;
  int EqualFileName = 0;
  int NoSettingField = 0;
  std::wstring RenameExt_Default;
  int DobleClick = 0;
  // Names from the ID3v2 tag where it has the text, before the ID3v1 tag.
  bool PreferID3v2 = false;
  // The rename run creates the folders a target names that do not exist yet.
  bool MakeFolders = false;
  // Tag values' full-width ASCII forms become ASCII, half-width katakana
  // full-width, before a name is built from them.
  bool NormalizeWidth = false;
};

// Used when the INI has no (or an empty) default template.
inline constexpr const wchar_t* kDefaultTemplate = L"%A - %T";
