// The settings file: which record field is kept under which section and
// key, and how its text reads and writes. Loading and saving go through a
// SettingsStore, so the rules hold for the real file and for a test's store.
#pragma once
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "settings/window_settings.h"

inline constexpr const wchar_t* kSettingsFileName = L"velnoir.ini";
inline constexpr const wchar_t* kWindowSection = L"QKPomeren_SE Window";
inline constexpr const wchar_t* kSettingSection = L"QKPomeren_SE Setting";

// Each key is read on its own: a text that does not fit its field leaves
// the field as its kind says (a fallback, or the value it had), and a key
// that fails to read leaves the others unharmed.
void LoadSettings(SettingsStore& store, WindowSettings& window);
void LoadSettings(SettingsStore& store, Settings& settings);

// Writes every key of the record's section in the file's order.
void SaveSettings(SettingsStore& store, const WindowSettings& window);
void SaveSettings(SettingsStore& store, const Settings& settings);
