#include "settings/settings_file.h"

#include <array>
#include <cstdint>
#include <exception>
#include <optional>
#include <variant>

#include "settings/setting_value.h"

namespace {

enum class Kind {
  kOnlyOne,       // true exactly for "1"; written "1" or "0"
  kUnlessZero,    // false exactly for "0"; written "1" or "0"
  kNumber,        // 16-bit number; empty or no number gives 0
  kTemplate,      // a name template; empty gives the default template
  kWindowState,   // 0, 1 or 2; anything else keeps the field
  kPositiveSize,  // a 16-bit number above 0; anything else keeps the field
};

template <typename Record>
using Field = std::variant<bool Record::*, int Record::*, std::wstring Record::*>;

template <typename Record>
struct StoredSetting {
  const wchar_t* section;
  const wchar_t* key;
  Field<Record> field;
  Kind kind;
  bool written = true;
};

// In the order the keys are written: a new file lists them so.
constexpr std::array<StoredSetting<WindowSettings>, 8> kWindowKeys{{
    {kWindowSection, L"LastWindowState", &WindowSettings::WindowState, Kind::kWindowState},
    {kWindowSection, L"LastToolBarVisible", &WindowSettings::ToolBarVisible, Kind::kUnlessZero},
    {kWindowSection, L"LastToolBarStyleFlat", &WindowSettings::ToolBarFlat, Kind::kOnlyOne},
    {kWindowSection, L"LastStatusBarVisible", &WindowSettings::StatusBarVisible, Kind::kUnlessZero},
    {kWindowSection, L"LastShowFilenameOnly", &WindowSettings::ShowFilenameOnly, Kind::kOnlyOne},
    {kWindowSection, L"Width", &WindowSettings::Width, Kind::kPositiveSize},
    {kWindowSection, L"Height", &WindowSettings::Height, Kind::kPositiveSize},
    {kWindowSection, L"UpChkShow", &WindowSettings::UpCheckShown, Kind::kOnlyOne, false},
}};

constexpr std::array<StoredSetting<Settings>, 9> kSettingKeys{{
    {kSettingSection, L"CantUseFilename", &Settings::forbiddenCharacterAction, Kind::kNumber},
    {kSettingSection, L"DataProve", &Settings::fileTypeByAnalysis, Kind::kOnlyOne},
    {kSettingSection, L"EqualFileName", &Settings::sameNameAction, Kind::kNumber},
    {kSettingSection, L"NoSettingField", &Settings::emptyFieldAction, Kind::kNumber},
    {kSettingSection, L"RenameExt_Default", &Settings::defaultTemplate, Kind::kTemplate},
    {kSettingSection, L"DobleClick", &Settings::doubleClickAction, Kind::kNumber},
    {kSettingSection, L"PreferID3v2", &Settings::preferId3v2, Kind::kOnlyOne},
    {kSettingSection, L"MakeFolders", &Settings::makeFolders, Kind::kOnlyOne},
    {kSettingSection, L"NormalizeWidth", &Settings::normalizeWidth, Kind::kOnlyOne},
}};

template <typename Record>
void Apply(const StoredSetting<Record>& setting, const std::wstring& text, Record& record) {
  std::optional<int16_t> number = ParseInt16Setting(text);
  switch (setting.kind) {
    case Kind::kOnlyOne: record.*std::get<bool Record::*>(setting.field) = text == L"1"; break;
    case Kind::kUnlessZero: record.*std::get<bool Record::*>(setting.field) = text != L"0"; break;
    case Kind::kNumber: record.*std::get<int Record::*>(setting.field) = number.value_or(0); break;
    case Kind::kTemplate:
      record.*std::get<std::wstring Record::*>(setting.field) =
          text.empty() ? kDefaultTemplate : text;
      break;
    case Kind::kWindowState:
      if (number && *number >= 0 && *number <= 2)
        record.*std::get<int Record::*>(setting.field) = *number;
      break;
    case Kind::kPositiveSize:
      if (number && *number > 0) record.*std::get<int Record::*>(setting.field) = *number;
      break;
  }
}

template <typename Record>
std::wstring TextOf(const StoredSetting<Record>& setting, const Record& record) {
  return std::visit(
      [&record](auto field) -> std::wstring {
        const auto& value = record.*field;
        using Value = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<Value, bool>) return value ? L"1" : L"0";
        else if constexpr (std::is_same_v<Value, std::wstring>) return value;
        else return std::to_wstring(value);
      },
      setting.field);
}

template <typename Record, size_t N>
void Load(SettingsStore& store, const std::array<StoredSetting<Record>, N>& keys, Record& record) {
  for (const StoredSetting<Record>& setting : keys) {
    try {
      Apply(setting, store.Read(setting.section, setting.key), record);
    } catch (const std::exception&) {
      // A store that cannot read this key (a file error, no memory): the
      // key keeps what it had; the next one is read all the same.
    }
  }
}

template <typename Record, size_t N>
void Save(SettingsStore& store, const std::array<StoredSetting<Record>, N>& keys,
          const Record& record) {
  for (const StoredSetting<Record>& setting : keys)
    if (setting.written) store.Write(setting.section, setting.key, TextOf(setting, record));
}

}  // namespace

void LoadSettings(SettingsStore& store, WindowSettings& window) {
  Load(store, kWindowKeys, window);
}
void LoadSettings(SettingsStore& store, Settings& settings) { Load(store, kSettingKeys, settings); }
void SaveSettings(SettingsStore& store, const WindowSettings& window) {
  Save(store, kWindowKeys, window);
}
void SaveSettings(SettingsStore& store, const Settings& settings) {
  Save(store, kSettingKeys, settings);
}
