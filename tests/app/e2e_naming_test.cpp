// The naming choices with the real program, driven from outside its
// process: each item of each list chosen in the options dialog, files
// dropped on the list, the targets it shows, the run's report and the files
// it leaves; numbered names taken back by the undo; and a settings file of
// an earlier version giving the names it always gave. Every file that was
// there before a run keeps its bytes.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "options/dialog/option_dialog.h"
#include "tests/support/expected_report.h"
#include "tests/support/program_driver.h"
#include "tests/support/silent_mp3.h"
#include "tests/support/test_files.h"

using program_driver::Remote;
using testing_files::ReadBytes;
using testing_files::WriteBytes;

namespace {

using Option = OptionDialog::Control;

std::string TaggedMp3(const std::string& artist, const std::string& title) {
  return testing_files::SilentFrames(8) + testing_files::Id3v1Tag(title, artist);
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The items chosen in the three lists of "変換オプション".
struct Choice {
  int sameName = 0, badCharacter = 0, emptyField = 0;
};

class NamingProgramTest : public program_driver::ProgramTest {
 protected:
  void StartWithoutFiles() {
    Start(L"");
    window_ = MainWindowOf();
    ASSERT_NE(window_, nullptr);
    list_ = Child(window_, WC_LISTVIEWW);
  }
  // Opens the options dialog from the menu, chooses the items and presses OK.
  void ChooseInOptions(const Choice& choice) {
    PostMessageW(window_, WM_COMMAND, IDM_OPTION, 0);
    HWND dialog = WaitForShownWindow(L"VelnoirOptionDialog", L"オプション");
    ASSERT_NE(dialog, nullptr);
    const std::pair<Option, int> picks[] = {{Option::kSameNamePolicy, choice.sameName},
                                            {Option::kBadCharacterPolicy, choice.badCharacter},
                                            {Option::kEmptyFieldPolicy, choice.emptyField}};
    for (auto [control, item] : picks) {
      HWND combo = GetDlgItem(dialog, control);
      ASSERT_EQ(SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0), item) << control;
    }
    HWND ok = GetDlgItem(dialog, Option::kOk);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(Option::kOk, BN_CLICKED),
                 reinterpret_cast<LPARAM>(ok));
    for (int i = 0; i < 200 && IsWindow(dialog); ++i) Sleep(25);
    ASSERT_FALSE(IsWindow(dialog));
  }
  // Drops the files on the list as the shell does, and waits until the list
  // holds count entries.
  void DropAndWait(const std::vector<std::wstring>& paths, int count) {
    PostMessageW(window_, WM_DROPFILES,
                 reinterpret_cast<WPARAM>(program_driver::DropBlockFor(window_, paths)), 0);
    for (int i = 0; i < 400 && Count() != count; ++i) Sleep(25);
    ASSERT_EQ(Count(), count);
  }
  int Count() const { return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }
  std::wstring TargetOf(int item) { return Remote(window_).ItemText(list_, item, 1); }
  bool CloseAndEnd() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    return Ends();
  }
  // A new folder of the test's folder.
  std::wstring Folder(const std::wstring& name) {
    std::wstring path = *folder_ / name;
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
  }

  HWND window_ = nullptr, list_ = nullptr;
};

}  // namespace

// One file per item of each list, chosen in the options dialog before the
// file is dropped: the list shows the name the item builds, and the run gives
// the file that name (or, for the items that leave it, says why not).
TEST_F(NamingProgramTest, EachItemOfEachListNamesAndRenamesAsChosen) {
  struct Case {
    Choice choice;
    std::string artist, title;
    std::wstring name;     // the file name the list shows; empty: the file keeps its own
    std::wstring notDone;  // the report's reason when the file is not renamed
  };
  const std::wstring duplicate = L"ファイル名が重複しています。";
  const Case cases[] = {
      // The tab of a tag leaves the name whatever the choice.
      {{0, 0, 0}, "AC/DC", "Re:Zero\tLive", L"ACDC - ReZeroLive.mp3", L""},
      {{0, 1, 0}, "AC/DC", "Re:Zero\tLive", L"AC／DC - Re：ZeroLive.mp3", L""},
      {{0, 2, 0}, "AC/DC", "Re:Zero\tLive", L"AC_DC - Re_ZeroLive.mp3", L""},
      {{0, 0, 0}, "", "CON", L"ArtistName - CON.mp3", L""},
      // Blanking the artist leaves "CON", which Windows takes for a device.
      {{0, 0, 1}, "", "CON", L"CON_.mp3", L""},
      {{0, 0, 2}, "", "CON", L"", L"未設定のフィールドがあるためリネームしません"},
      {{0, 0, 0}, "Band", "Song", L"Band - Song.mp3", duplicate},
      {{1, 0, 0}, "Band", "Song", L"Band - Song.mp3", L""},
  };
  StartWithoutFiles();
  int caseNumber = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(caseNumber);
    const std::wstring folder = Folder(L"case" + std::to_wstring(caseNumber++));
    const std::wstring source = folder + L"\\track.mp3";
    const std::string bytes = TaggedMp3(c.artist, c.title);
    WriteBytes(source, bytes);
    // A file of the name the tag builds is there already in the last two.
    const std::wstring existing = folder + L"\\Band - Song.mp3";
    WriteBytes(existing, "was here first");

    ChooseInOptions(c.choice);
    DropAndWait({source}, 1);
    const std::wstring listed = c.name.empty() ? source : folder + L"\\" + c.name;
    EXPECT_EQ(TargetOf(0), listed);

    std::wstring report = RunFromMenu(window_, IDM_EXECRENAME);
    const bool renamed = c.notDone.empty();
    // With numbering the file takes the first free name beside the one built.
    const std::wstring used = c.choice.sameName == 1 ? folder + L"\\Band - Song (2).mp3" : listed;
    EXPECT_EQ(report, expected_report::Line(renamed, source, renamed ? used : c.notDone) +
                          expected_report::Summary(1, renamed, !renamed));
    EXPECT_EQ(ReadBytes(renamed ? used : source), bytes);
    EXPECT_EQ(ReadBytes(existing), "was here first");
    EXPECT_EQ(Count(), renamed ? 0 : 1);
    if (!renamed) {
      Remote(window_).SelectItem(list_, 0);
      SendMessageW(window_, WM_COMMAND, IDM_DELETE, 0);
      ASSERT_EQ(Count(), 0);
    }
  }
  ASSERT_TRUE(CloseAndEnd());
  // The choices are kept as the numbers of their items.
  std::string ini = ReadBytes(*folder_ / L"velnoir.ini");
  EXPECT_NE(ini.find("EqualFileName=1\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("CantUseFilename=0\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("NoSettingField=0\r\n"), std::string::npos) << ini;
}

// Three files that build the name an existing file has: numbered "(2)",
// "(3)", "(4)" in list order, the existing file untouched; the undo puts all
// three back.
TEST_F(NamingProgramTest, NumberedNamesForThreeFilesAndTheUndoTakesThemBack) {
  const std::wstring folder = Folder(L"album");
  const std::wstring existing = folder + L"\\Band - Song.mp3";
  WriteBytes(existing, "the song that was there");
  std::vector<std::wstring> sources;
  std::vector<std::string> bytes;
  for (int i = 1; i <= 3; ++i) {
    sources.push_back(folder + L"\\take" + std::to_wstring(i) + L".mp3");
    // Files of different lengths, so that each is known by its bytes.
    bytes.push_back(testing_files::SilentFrames(8 + i) + testing_files::Id3v1Tag("Song", "Band"));
    WriteBytes(sources.back(), bytes.back());
  }
  StartWithoutFiles();
  ChooseInOptions({1, 0, 0});
  DropAndWait(sources, 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(TargetOf(i), existing) << i;

  std::wstring report = RunFromMenu(window_, IDM_EXECRENAME);
  std::wstring expected;
  for (int i = 0; i < 3; ++i)
    expected += expected_report::Line(
        true, sources[i], folder + L"\\Band - Song (" + std::to_wstring(i + 2) + L").mp3");
  EXPECT_EQ(report, expected + expected_report::Summary(3, 3, 0));
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(Exists(sources[i])) << i;
    EXPECT_EQ(ReadBytes(folder + L"\\Band - Song (" + std::to_wstring(i + 2) + L").mp3"), bytes[i])
        << i;
  }
  EXPECT_EQ(ReadBytes(existing), "the song that was there");

  report = RunFromMenu(window_, IDM_UNDORENAME);
  EXPECT_NE(report.find(expected_report::Summary(3, 3, 0)), std::wstring::npos)
      << testing::PrintToString(report);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(ReadBytes(sources[i]), bytes[i]) << i;
    EXPECT_FALSE(Exists(folder + L"\\Band - Song (" + std::to_wstring(i + 2) + L").mp3")) << i;
  }
  EXPECT_EQ(ReadBytes(existing), "the song that was there");
  ASSERT_TRUE(CloseAndEnd());
}

// A settings file written before these choices existed, also one with
// numbers no list has (hand-edited), gives the names it always gave, byte
// for byte, and keeps its numbers when the program writes it again.
TEST_F(NamingProgramTest, ASettingsFileFromBeforeGivesTheSameNames) {
  const char* const before[] = {
      "CantUseFilename=0\r\nDataProve=0\r\nEqualFileName=0\r\nNoSettingField=0\r\n",
      "CantUseFilename=-1\r\nDataProve=0\r\nEqualFileName=7\r\nNoSettingField=9\r\n",
  };
  int round = 0;
  for (const char* settings : before) {
    SCOPED_TRACE(round);
    WriteBytes(*folder_ / L"velnoir.ini", std::string("[QKPomeren_SE Setting]\r\n") + settings +
                                              "RenameExt_Default=%A - %T\r\nDobleClick=0\r\n");
    const std::wstring folder = Folder(L"round" + std::to_wstring(round++));
    const std::wstring a = folder + L"\\a.mp3", b = folder + L"\\b.mp3", c = folder + L"\\c.mp3";
    WriteBytes(a, TaggedMp3("AC/DC", "Re:Zero"));
    WriteBytes(b, TaggedMp3("", "Who? / What:"));
    WriteBytes(c, TaggedMp3("Band", "Song"));
    const std::wstring existing = folder + L"\\Band - Song.mp3";
    WriteBytes(existing, "kept");
    StartWithoutFiles();
    DropAndWait({a, b, c}, 3);
    const std::wstring ta = folder + L"\\ACDC - ReZero.mp3",
                       tb = folder + L"\\ArtistName - Who  What.mp3";
    EXPECT_EQ(TargetOf(0), ta);
    EXPECT_EQ(TargetOf(1), tb);
    EXPECT_EQ(TargetOf(2), existing);
    std::wstring report = RunFromMenu(window_, IDM_EXECRENAME);
    EXPECT_EQ(report, expected_report::Line(true, a, ta) + expected_report::Line(true, b, tb) +
                          expected_report::Line(false, c, L"ファイル名が重複しています。") +
                          expected_report::Summary(3, 2, 1));
    EXPECT_EQ(ReadBytes(existing), "kept");
    EXPECT_EQ(ReadBytes(c), TaggedMp3("Band", "Song"));
    ASSERT_TRUE(CloseAndEnd());
    std::string ini = ReadBytes(*folder_ / L"velnoir.ini");
    EXPECT_NE(ini.find(settings), std::string::npos) << ini;
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
    process_ = {};
  }
}
