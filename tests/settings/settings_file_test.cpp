// The settings file's keys through a store in memory: what a new file lists
// and in which order, that saved values come back, and how odd texts read.
#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

class MemoryStore : public SettingsStore {
 public:
  std::wstring Read(const std::wstring& section, const std::wstring& key) override {
    if (failingKey == key) throw std::runtime_error("unreadable");
    auto found = texts.find({section, key});
    return found == texts.end() ? L"" : found->second;
  }
  void Write(const std::wstring& section, const std::wstring& key,
             const std::wstring& text) override {
    written.push_back(section + L"|" + key + L"=" + text);
    texts[{section, key}] = text;
  }
  void Set(const std::wstring& section, const std::wstring& key, const std::wstring& text) {
    texts[{section, key}] = text;
  }

  std::map<std::pair<std::wstring, std::wstring>, std::wstring> texts;
  std::vector<std::wstring> written;
  std::wstring failingKey;
};

const std::wstring kWindow = kWindowSection;
const std::wstring kSetting = kSettingSection;

TEST(SettingsFile, NamesAndSections) {
  EXPECT_STREQ(kSettingsFileName, L"velnoir.ini");
  EXPECT_EQ(kWindow, L"QKPomeren_SE Window");
  EXPECT_EQ(kSetting, L"QKPomeren_SE Setting");
}

TEST(SettingsFile, WritesEveryKeyInTheFilesOrder) {
  MemoryStore store;
  WindowSettings window;
  window.WindowState = 2;
  window.ToolBarFlat = true;
  window.StatusBarVisible = false;
  window.Width = 40000;  // a size beyond 16 bits is written as it is
  window.Height = 6000;
  window.UpCheckShown = true;
  SaveSettings(store, window);
  Settings settings;
  settings.forbiddenCharacterAction = 1;
  settings.fileTypeByAnalysis = true;
  settings.sameNameAction = -3;
  settings.emptyFieldAction = 2;
  settings.defaultTemplate = L"%T (%Y)";
  settings.doubleClickAction = 1;
  settings.preferId3v2 = true;
  settings.makeFolders = true;
  settings.normalizeWidth = true;
  SaveSettings(store, settings);
  const std::vector<std::wstring> expected{
      L"QKPomeren_SE Window|LastWindowState=2",
      L"QKPomeren_SE Window|LastToolBarVisible=1",
      L"QKPomeren_SE Window|LastToolBarStyleFlat=1",
      L"QKPomeren_SE Window|LastStatusBarVisible=0",
      L"QKPomeren_SE Window|LastShowFilenameOnly=0",
      L"QKPomeren_SE Window|Width=40000",
      L"QKPomeren_SE Window|Height=6000",
      L"QKPomeren_SE Setting|CantUseFilename=1",
      L"QKPomeren_SE Setting|DataProve=1",
      L"QKPomeren_SE Setting|EqualFileName=-3",
      L"QKPomeren_SE Setting|NoSettingField=2",
      L"QKPomeren_SE Setting|RenameExt_Default=%T (%Y)",
      L"QKPomeren_SE Setting|DobleClick=1",
      L"QKPomeren_SE Setting|PreferID3v2=1",
      L"QKPomeren_SE Setting|MakeFolders=1",
      L"QKPomeren_SE Setting|NormalizeWidth=1",
  };
  EXPECT_EQ(store.written, expected);  // UpChkShow is never written
}

TEST(SettingsFile, SavedValuesComeBack) {
  MemoryStore store;
  WindowSettings window{1, false, true, false, true, 9000, 6000, false};
  SaveSettings(store, window);
  store.Set(kWindow, L"UpChkShow", L"1");
  Settings settings{3, true, 4, 5, L"%A", 1, true, true, true};
  SaveSettings(store, settings);

  WindowSettings windowBack;
  LoadSettings(store, windowBack);
  EXPECT_EQ(windowBack.WindowState, 1);
  EXPECT_FALSE(windowBack.ToolBarVisible);
  EXPECT_TRUE(windowBack.ToolBarFlat);
  EXPECT_FALSE(windowBack.StatusBarVisible);
  EXPECT_TRUE(windowBack.ShowFilenameOnly);
  EXPECT_EQ(windowBack.Width, 9000);
  EXPECT_EQ(windowBack.Height, 6000);
  EXPECT_TRUE(windowBack.UpCheckShown);
  Settings settingsBack;
  LoadSettings(store, settingsBack);
  EXPECT_EQ(settingsBack.forbiddenCharacterAction, 3);
  EXPECT_TRUE(settingsBack.fileTypeByAnalysis);
  EXPECT_EQ(settingsBack.sameNameAction, 4);
  EXPECT_EQ(settingsBack.emptyFieldAction, 5);
  EXPECT_EQ(settingsBack.defaultTemplate, L"%A");
  EXPECT_EQ(settingsBack.doubleClickAction, 1);
  EXPECT_TRUE(settingsBack.preferId3v2);
  EXPECT_TRUE(settingsBack.makeFolders);
  EXPECT_TRUE(settingsBack.normalizeWidth);
}

TEST(SettingsFile, AnEmptyStoreGivesTheFirstStart) {
  MemoryStore store;
  WindowSettings window;
  LoadSettings(store, window);
  EXPECT_EQ(window.WindowState, 0);
  EXPECT_TRUE(window.ToolBarVisible);
  EXPECT_FALSE(window.ToolBarFlat);
  EXPECT_TRUE(window.StatusBarVisible);
  EXPECT_FALSE(window.ShowFilenameOnly);
  EXPECT_EQ(window.Width, 0);
  EXPECT_EQ(window.Height, 0);
  EXPECT_FALSE(window.UpCheckShown);
  Settings settings{7, true, 7, 7, L"x", 7, true, true};
  LoadSettings(store, settings);
  EXPECT_EQ(settings.forbiddenCharacterAction, 0);
  EXPECT_FALSE(settings.fileTypeByAnalysis);
  EXPECT_EQ(settings.sameNameAction, 0);
  EXPECT_EQ(settings.emptyFieldAction, 0);
  EXPECT_EQ(settings.defaultTemplate, L"%A - %T");
  EXPECT_EQ(settings.doubleClickAction, 0);
  EXPECT_FALSE(settings.preferId3v2);
  EXPECT_FALSE(settings.makeFolders);  // absent: off, as before the setting
  EXPECT_FALSE(settings.normalizeWidth);
}

// Flags count only for their one text; numbers go through the 16-bit rule
// with its rounding; a state or size that does not fit keeps what was there.
TEST(SettingsFile, OddTextsReadAsTheirKindSays) {
  MemoryStore store;
  store.Set(kWindow, L"LastToolBarVisible", L"no");
  store.Set(kWindow, L"LastToolBarStyleFlat", L"true");
  store.Set(kWindow, L"LastStatusBarVisible", L" 0");
  store.Set(kWindow, L"LastShowFilenameOnly", L"1 ");
  store.Set(kWindow, L"LastWindowState", L"7");
  store.Set(kWindow, L"Width", L"abc");
  store.Set(kWindow, L"Height", L"40000");
  store.Set(kWindow, L"UpChkShow", L"true");
  WindowSettings window{1, true, false, true, false, 100, 200, false};
  LoadSettings(store, window);
  EXPECT_TRUE(window.ToolBarVisible);
  EXPECT_FALSE(window.ToolBarFlat);
  EXPECT_TRUE(window.StatusBarVisible);
  EXPECT_FALSE(window.ShowFilenameOnly);
  EXPECT_EQ(window.WindowState, 1);
  EXPECT_EQ(window.Width, 100);
  EXPECT_EQ(window.Height, 200);
  EXPECT_FALSE(window.UpCheckShown);

  store.Set(kWindow, L"LastWindowState", L"2.5");  // rounds to 2
  store.Set(kWindow, L"Width", L"0");
  store.Set(kWindow, L"Height", L"-5");
  LoadSettings(store, window);
  EXPECT_EQ(window.WindowState, 2);
  EXPECT_EQ(window.Width, 100);
  EXPECT_EQ(window.Height, 200);
  store.Set(kWindow, L"LastWindowState", L"-1");
  store.Set(kWindow, L"Width", L"1.5");
  LoadSettings(store, window);
  EXPECT_EQ(window.WindowState, 2);
  EXPECT_EQ(window.Width, 2);

  store.Set(kSetting, L"CantUseFilename", L"2.5");
  store.Set(kSetting, L"DataProve", L"true");
  store.Set(kSetting, L"EqualFileName", L"3.5");
  store.Set(kSetting, L"NoSettingField", L"99999");
  store.Set(kSetting, L"RenameExt_Default", L"");
  store.Set(kSetting, L"DobleClick", L"x");
  store.Set(kSetting, L"PreferID3v2", L"01");
  store.Set(kSetting, L"MakeFolders", L"true");
  Settings settings{7, true, 7, 7, L"x", 7, true, true};
  LoadSettings(store, settings);
  EXPECT_EQ(settings.forbiddenCharacterAction, 2);
  EXPECT_FALSE(settings.fileTypeByAnalysis);
  EXPECT_EQ(settings.sameNameAction, 4);
  EXPECT_EQ(settings.emptyFieldAction, 0);
  EXPECT_EQ(settings.defaultTemplate, L"%A - %T");
  EXPECT_EQ(settings.doubleClickAction, 0);
  EXPECT_FALSE(settings.preferId3v2);
  EXPECT_FALSE(settings.makeFolders);
}

TEST(SettingsFile, AKeyThatFailsToReadLeavesTheOthers) {
  MemoryStore store;
  store.Set(kSetting, L"CantUseFilename", L"1");
  store.Set(kSetting, L"EqualFileName", L"2");
  store.Set(kSetting, L"DobleClick", L"1");
  store.failingKey = L"EqualFileName";
  Settings settings{0, false, 9, 0, L"", 0, false};
  LoadSettings(store, settings);
  EXPECT_EQ(settings.forbiddenCharacterAction, 1);
  EXPECT_EQ(settings.sameNameAction, 9);
  EXPECT_EQ(settings.doubleClickAction, 1);
  EXPECT_EQ(settings.defaultTemplate, L"%A - %T");
}

}  // namespace
