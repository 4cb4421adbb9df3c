// The settings file as the real store: the bytes a new file gets, texts in
// the ANSI code page, and a reader that leaves the current section alone.
#include "win/ini_access.h"

#include <gtest/gtest.h>

#include "settings/settings_file.h"
#include "tests/support/test_files.h"
#include "win/text.h"

using testing_files::ReadBytes;
using testing_files::ScratchFolder;
using testing_files::WriteBytes;

namespace {

INIAccess FileIn(const ScratchFolder& folder) {
  INIAccess file;
  file.SetAppPathFilename(kSettingsFileName, folder.Path());
  return file;
}

TEST(INIAccess, FileNameIsTheFolderAndTheName) {
  INIAccess file;
  file.SetAppPathFilename(L"velnoir.ini", L"C:\\p");
  EXPECT_EQ(file.FileName, L"C:\\p\\velnoir.ini");
  file.SetAppPathFilename(L"velnoir.ini", L"C:\\p\\");
  EXPECT_EQ(file.FileName, L"C:\\p\\velnoir.ini");
}

TEST(INIAccess, ANewFileListsTheKeysInTheTablesOrder) {
  ScratchFolder folder(L"ini");
  INIAccess file = FileIn(folder);
  WindowSettings window;
  window.WindowState = 2;
  window.ToolBarFlat = true;
  window.Width = 9000;
  window.Height = 6000;
  SaveSettings(file, window);
  Settings settings;
  settings.defaultTemplate = L"%A - %T";
  settings.doubleClickAction = 1;
  SaveSettings(file, settings);
  EXPECT_EQ(ReadBytes(folder / L"velnoir.ini"),
            "[QKPomeren_SE Window]\r\nLastWindowState=2\r\nLastToolBarVisible=1\r\n"
            "LastToolBarStyleFlat=1\r\nLastStatusBarVisible=1\r\nLastShowFilenameOnly=0\r\n"
            "Width=9000\r\nHeight=6000\r\n"
            "[QKPomeren_SE Setting]\r\nCantUseFilename=0\r\nDataProve=0\r\nEqualFileName=0\r\n"
            "NoSettingField=0\r\nRenameExt_Default=%A - %T\r\nDobleClick=1\r\nPreferID3v2=0\r\n"
            "MakeFolders=0\r\nNormalizeWidth=0\r\n");
}

TEST(INIAccess, ReadingAnotherSectionLeavesTheCurrentOne) {
  ScratchFolder folder(L"ini");
  WriteBytes(folder / L"velnoir.ini", "[A]\r\nk=a\r\n[B]\r\nk=b\r\n");
  INIAccess file = FileIn(folder);
  file.Section = L"A";
  EXPECT_EQ(file.GetINIData(L"k", L"B"), L"b");
  EXPECT_EQ(file.Section, L"A");
  EXPECT_EQ(file.GetINIData(L"k", L""), L"a");
  EXPECT_EQ(file.Read(L"B", L"k"), L"b");
  EXPECT_EQ(file.Section, L"A");
  // A write that names its section makes it the current one.
  EXPECT_TRUE(file.SetINIData(L"n", L"1", L"B"));
  EXPECT_EQ(file.Section, L"B");
  EXPECT_EQ(file.GetINIData(L"n", L""), L"1");
}

TEST(INIAccess, NothingWithoutAFileNameOrASection) {
  ScratchFolder folder(L"ini");
  INIAccess unnamed;
  EXPECT_FALSE(unnamed.SetINIData(L"k", L"v", L"A"));
  EXPECT_EQ(unnamed.GetINIData(L"k", L"A"), L"");
  INIAccess file = FileIn(folder);
  EXPECT_FALSE(file.SetINIData(L"k", L"v", L""));
  EXPECT_EQ(file.GetINIData(L"k", L""), L"");
  // No file yet: every key reads empty.
  EXPECT_EQ(file.Read(kWindowSection, L"Width"), L"");
}

TEST(INIAccess, TextsCrossInTheAnsiCodePage) {
  ScratchFolder folder(L"ini");
  INIAccess file = FileIn(folder);
  file.Write(kSettingSection, L"RenameExt_Default", L"%A「%T」");
  EXPECT_EQ(ReadBytes(folder / L"velnoir.ini"),
            "[QKPomeren_SE Setting]\r\nRenameExt_Default=" + win::ToAnsi(L"%A「%T」") + "\r\n");
  EXPECT_EQ(file.Read(kSettingSection, L"RenameExt_Default"), L"%A「%T」");
}

}  // namespace
