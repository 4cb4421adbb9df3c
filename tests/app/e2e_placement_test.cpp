// Where the real program puts files, driven from outside its process: tag
// values that look like paths never place a file, under every choice for
// characters a name cannot hold, with and without folder creation; a change
// of letter case is a rename that the undo takes back; and a folder too deep
// for a recognisable name leaves the file as it is.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "tests/support/expected_report.h"
#include "tests/support/program_driver.h"
#include "tests/support/silent_mp3.h"
#include "tests/support/test_files.h"

using program_driver::Remote;
using testing_files::FilesUnder;
using testing_files::NameOnDisk;
using testing_files::ReadBytes;
using testing_files::WriteBytes;

namespace {

std::string Mp3(const std::string& artist, const std::string& album, const std::string& title,
                int frames) {
  return testing_files::SilentFrames(frames) + testing_files::Id3v1Tag(title, artist, album);
}

class PlacementProgramTest : public program_driver::ProgramTest {
 protected:
  // Starts the program with these settings and the audio files of the
  // folders.
  void StartOn(const std::string& settings, const std::vector<std::wstring>& folders) {
    WriteBytes(*folder_ / L"velnoir.ini", "[QKPomeren_SE Setting]\r\n" + settings);
    std::wstring arguments;
    for (const std::wstring& folder : folders) arguments += L" \"" + folder + L"\"";
    Start(arguments);
    window_ = MainWindowOf();
    ASSERT_NE(window_, nullptr);
    list_ = Child(window_, WC_LISTVIEWW);
  }
  std::wstring TargetOf(int item) { return Remote(window_).ItemText(list_, item, 1); }
  std::wstring Folder(const std::wstring& path) {
    SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
    return path;
  }

  HWND window_ = nullptr, list_ = nullptr;
};

}  // namespace

// "lib\music\album" holds four files whose artists and album would climb out
// of it, nest folders or name a full path. Under each choice and template the
// list shows, and the run gives, a name inside the album folder or the
// folders the template names; without folder creation those fail and the
// files stay. Nothing lands anywhere else.
TEST_F(PlacementProgramTest, TagValuesNeverPlaceAFile) {
  struct Song {
    const char *artist, *album, *title;
    const wchar_t* name[3];    // "%A - %T", by the choice for forbidden characters
    const wchar_t* folder[3];  // "%A\%L\%N %T": the artist's folder
  };
  const Song songs[] = {
      {"..\\..\\x",
       "",
       "t",
       {L"....x - t", L"..\uFF3C..\uFF3Cx - t", L".._.._x - t"},
       {L"....x\\AlbumName", L"..\uFF3C..\uFF3Cx\\AlbumName", L".._.._x\\AlbumName"}},
      {"AC\\DC",
       "",
       "Back",
       {L"ACDC - Back", L"AC\uFF3CDC - Back", L"AC_DC - Back"},
       {L"ACDC\\AlbumName", L"AC\uFF3CDC\\AlbumName", L"AC_DC\\AlbumName"}},
      {"FP#..\\x",
       "",
       "f",
       {L"FP#..x - f", L"FP#..\uFF3Cx - f", L"FP#.._x - f"},
       {L"FP#..x\\AlbumName", L"FP#..\uFF3Cx\\AlbumName", L"FP#.._x\\AlbumName"}},
      {"..", "..", "up", {L".. - up", L".. - up", L".. - up"}, {L"_\\_", L"_\\_", L"_\\_"}},
  };
  struct Round {
    const char* templ;
    bool makeFolders;
  };
  const Round rounds[] = {{"%A - %T", true}, {"%A\\%L\\%N %T", false}, {"%A\\%L\\%N %T", true}};
  int number = 0;
  for (int choice = 0; choice < 3; ++choice) {
    for (const Round& round : rounds) {
      SCOPED_TRACE(testing::Message() << choice << " " << round.templ << " " << round.makeFolders);
      const std::wstring root = *folder_ / (L"r" + std::to_wstring(number++));
      const std::wstring album = Folder(root + L"\\lib\\music\\album");
      std::vector<std::string> bytes;
      for (int i = 0; i < 4; ++i) {
        bytes.push_back(Mp3(songs[i].artist, songs[i].album, songs[i].title, 8 + i));
        WriteBytes(album + L"\\" + std::to_wstring(i) + L".mp3", bytes.back());
      }
      StartOn("CantUseFilename=" + std::to_string(choice) + "\r\nRenameExt_Default=" + round.templ +
                  "\r\nMakeFolders=" + (round.makeFolders ? "1" : "0") + "\r\n",
              {album});
      const bool flat = round.templ[2] == ' ';
      std::vector<std::wstring> targets;
      for (int i = 0; i < 4; ++i) {
        const Song& s = songs[i];
        targets.push_back(album + L"\\" +
                          (flat ? std::wstring(s.name[choice])
                                : std::wstring(s.folder[choice]) + L"\\00 " +
                                      std::wstring(s.title, s.title + strlen(s.title))) +
                          L".mp3");
        EXPECT_EQ(TargetOf(i), targets.back()) << i;
      }
      const std::wstring report = RunFromMenu(window_, IDM_EXECRENAME);
      const bool moved = flat || round.makeFolders;
      EXPECT_NE(report.find(moved ? L"成功ファイル数：4" : L"失敗ファイル数：4"),
                std::wstring::npos)
          << testing::PrintToString(report);
      EXPECT_EQ(FilesUnder(root).size(), 4u);
      for (int i = 0; i < 4; ++i) {
        const std::wstring at = moved ? targets[i] : album + L"\\" + std::to_wstring(i) + L".mp3";
        EXPECT_EQ(ReadBytes(at), bytes[i]) << testing::PrintToString(at);
      }
    }
  }
}

// "abc.mp3" titled "ABC" with the template "%T": the file itself gets the new
// case under either choice for names already taken, and the undo gives it
// back the old one.
TEST_F(PlacementProgramTest, ACaseOnlyRenameAndItsUndo) {
  for (int sameName : {0, 1}) {
    SCOPED_TRACE(sameName);
    const std::wstring folder = Folder(*folder_ / (L"case" + std::to_wstring(sameName)));
    const std::wstring source = folder + L"\\abc.mp3", target = folder + L"\\ABC.mp3";
    const std::string bytes = Mp3("", "", "ABC", 8);
    WriteBytes(source, bytes);
    StartOn("EqualFileName=" + std::to_string(sameName) + "\r\nRenameExt_Default=%T\r\n", {folder});
    EXPECT_EQ(TargetOf(0), target);
    EXPECT_EQ(RunFromMenu(window_, IDM_EXECRENAME),
              expected_report::Line(true, source, target) + expected_report::Summary(1, 1, 0));
    EXPECT_EQ(NameOnDisk(target), L"ABC.mp3");
    const std::wstring undo = RunFromMenu(window_, IDM_UNDORENAME);
    EXPECT_NE(undo.find(expected_report::Line(true, target, source)), std::wstring::npos)
        << testing::PrintToString(undo);
    EXPECT_EQ(NameOnDisk(source), L"abc.mp3");
    EXPECT_EQ(ReadBytes(source), bytes);
  }
}

// Folders of 245 and 250 characters leave 9 and 4 beside ".mp3": "Artist -
// Title" is cut to "Artist -" in the first; the second has no room for eight
// characters, so the list shows the name whole and the run leaves the file,
// saying the path is too long.
TEST_F(PlacementProgramTest, AFolderTooDeepForARecognisableNameLeavesTheFile) {
  const std::wstring base = folder_->Path();
  ASSERT_LT(base.size(), 240u);
  auto deep = [&](size_t length, wchar_t letter) {
    return Folder(base + L"\\" + std::wstring(length - base.size() - 1, letter));
  };
  const std::wstring roomy = deep(245, L'a'), tight = deep(250, L'b');
  const std::string roomyBytes = Mp3("Artist", "", "Title", 8),
                    tightBytes = Mp3("Artist", "", "Title", 9);
  WriteBytes(roomy + L"\\a.mp3", roomyBytes);
  WriteBytes(tight + L"\\a.mp3", tightBytes);
  StartOn("", {roomy, tight});
  EXPECT_EQ(TargetOf(0), roomy + L"\\Artist -.mp3");
  EXPECT_EQ(TargetOf(1), tight + L"\\Artist - Title.mp3");
  EXPECT_EQ(
      RunFromMenu(window_, IDM_EXECRENAME),
      expected_report::Line(true, roomy + L"\\a.mp3", roomy + L"\\Artist -.mp3") +
          expected_report::Line(false, tight + L"\\a.mp3", L"リネーム後のパスが長すぎます。") +
          expected_report::Summary(2, 1, 1));
  EXPECT_EQ(ReadBytes(roomy + L"\\Artist -.mp3"), roomyBytes);
  EXPECT_EQ(ReadBytes(tight + L"\\a.mp3"), tightBytes);
}
