// Names as collectors write them, with the real program: optional parts and
// alternatives, the file's own name, album artist and disc from an ID3v2.3
// tag, the options dialog's legend, and a run into album-artist folders
// that it creates, taken back by the undo.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "options/dialog/option_dialog.h"
#include "options/dialog/option_rules.h"
#include "tests/support/program_driver.h"
#include "tests/support/silent_mp3.h"
#include "tests/support/test_files.h"

using program_driver::Remote;
using testing_files::ReadBytes;
using testing_files::WriteBytes;

namespace {

const std::string kFolders = "<%B|%A>\\%L\\<%D->%N %T";

// An ID3v1.1 tag: artist "A", album "L", title "T", track 3, and the year.
std::string Id3v1Mp3(const std::string& artist, const std::string& year = "") {
  const std::string comment = std::string(29, '\0') + '\x03';
  return testing_files::SilentFrames(8) + testing_files::Id3v1Tag("T", artist, "L", year, comment);
}

std::string Frame(const char* id, const std::string& text) {
  const std::string body = '\0' + text;  // ISO-8859-1
  std::string frame(id, 4);
  for (int shift = 24; shift >= 0; shift -= 8) frame += static_cast<char>(body.size() >> shift);
  return frame + std::string(2, '\0') + body;
}

// An ID3v2.3 tag with album artist and disc before the audio, and no ID3v1 tag.
std::string Id3v2Mp3(const std::string& albumArtist, const std::string& disc) {
  std::string frames =
      Frame("TPE1", "A") + Frame("TIT2", "T") + Frame("TALB", "L") + Frame("TRCK", "3/12");
  if (!albumArtist.empty()) frames += Frame("TPE2", albumArtist);
  if (!disc.empty()) frames += Frame("TPOS", disc);
  std::string tag = std::string("ID3\x03\x00\x00", 6);
  for (int shift = 21; shift >= 0; shift -= 7)
    tag += static_cast<char>((frames.size() >> shift) & 0x7F);
  return tag + frames + testing_files::SilentFrames(8);
}

bool IsThere(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class CollectionsProgramTest : public program_driver::ProgramTest {
 protected:
  void StartWith(const std::string& templ) {
    WriteBytes(*folder_ / L"velnoir.ini",
               "[QKPomeren_SE Setting]\r\nRenameExt_Default=" + templ + "\r\nMakeFolders=1\r\n");
    Start(L"");
    window_ = MainWindowOf();
    ASSERT_NE(window_, nullptr);
    list_ = Child(window_, WC_LISTVIEWW);
  }
  void DropAndWait(const std::vector<std::wstring>& paths) {
    PostMessageW(window_, WM_DROPFILES,
                 reinterpret_cast<WPARAM>(program_driver::DropBlockFor(window_, paths)), 0);
    const int count = static_cast<int>(paths.size());
    for (int i = 0; i < 400 && Count() != count; ++i) Sleep(25);
    ASSERT_EQ(Count(), count);
  }
  int Count() const { return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }
  std::wstring TargetOf(int item) { return Remote(window_).ItemText(list_, item, 1); }
  std::wstring Folder(const std::wstring& name) {
    std::wstring path = *folder_ / name;
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
  }
  // The targets the list shows for the files, each under its own folder.
  std::vector<std::wstring> Targets(
      const std::string& templ, const std::vector<std::pair<std::wstring, std::string>>& files) {
    StartWith(templ);
    std::vector<std::wstring> paths;
    for (const auto& [name, bytes] : files) {
      paths.push_back(Folder(L"f" + std::to_wstring(paths.size())) + L"\\" + name);
      WriteBytes(paths.back(), bytes);
    }
    DropAndWait(paths);
    std::vector<std::wstring> targets;
    for (int i = 0; i < Count(); ++i) {
      const std::wstring target = TargetOf(i);
      const std::wstring folder = *folder_ / (L"f" + std::to_wstring(i)) + L"\\";
      targets.push_back(target.compare(0, folder.size(), folder) == 0 ? target.substr(folder.size())
                                                                      : target);
    }
    PostMessageW(window_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Ends());
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
    process_ = {};
    return targets;
  }

  HWND window_ = nullptr, list_ = nullptr;
};

}  // namespace

TEST_F(CollectionsProgramTest, PartsAndTheFilesOwnNameOnId3v1Files) {
  EXPECT_EQ(Targets(kFolders, {{L"x.mp3", Id3v1Mp3("A")}}),
            (std::vector<std::wstring>{L"A\\L\\03 T.mp3"}));
  EXPECT_EQ(Targets("<%B|Various Artists>\\%L\\%N %T", {{L"x.mp3", Id3v1Mp3("A")}}),
            (std::vector<std::wstring>{L"Various Artists\\L\\03 T.mp3"}));
  EXPECT_EQ(
      Targets("%A - %T< [%Y]>", {{L"x.mp3", Id3v1Mp3("A")}, {L"y.mp3", Id3v1Mp3("A", "2001")}}),
      (std::vector<std::wstring>{L"A - T.mp3", L"A - T [2001].mp3"}));
  EXPECT_EQ(Targets("<%A - >%T", {{L"x.mp3", Id3v1Mp3("")}}),
            (std::vector<std::wstring>{L"T.mp3"}));
  EXPECT_EQ(Targets("%N %F", {{L"track 3.mp3", Id3v1Mp3("A")}}),
            (std::vector<std::wstring>{L"03 track 3.mp3"}));
}

// Album artist and disc come from the ID3v2 tag, whichever tag is preferred.
TEST_F(CollectionsProgramTest, AlbumArtistAndDiscFromAnId3v23Tag) {
  EXPECT_EQ(Targets(kFolders, {{L"x.mp3", Id3v2Mp3("", "")},
                               {L"y.mp3", Id3v2Mp3("", "2/2")},
                               {L"z.mp3", Id3v2Mp3("V", "")}}),
            (std::vector<std::wstring>{L"A\\L\\03 T.mp3", L"A\\L\\2-03 T.mp3", L"V\\L\\03 T.mp3"}));
}

TEST_F(CollectionsProgramTest, TheLegendNamesTheNewPlaceholdersAndParts) {
  StartWith("%A - %T");
  PostMessageW(window_, WM_COMMAND, IDM_OPTION, 0);
  HWND dialog = WaitForShownWindow(L"VelnoirOptionDialog", L"オプション");
  ASSERT_NE(dialog, nullptr);
  wchar_t text[1024] = {};
  GetWindowTextW(GetDlgItem(dialog, OptionDialog::kLegendLabel), text, 1024);
  EXPECT_EQ(std::wstring(text), kTemplateLegend);
  EXPECT_NE(std::wstring(text).find(L"　<%B|%A> - 値のある最初の候補（無ければ省略）\r\n"),
            std::wstring::npos);
  PostMessageW(dialog, WM_CLOSE, 0, 0);
  for (int i = 0; i < 200 && IsWindow(dialog); ++i) Sleep(25);
  PostMessageW(window_, WM_CLOSE, 0, 0);
  EXPECT_TRUE(Ends());
}

// A file goes into the album-artist and album folders the run creates; a
// second that builds the same name stays; the undo puts the first back and
// takes the folders away.
TEST_F(CollectionsProgramTest, ARunIntoAlbumArtistFoldersAndItsUndo) {
  StartWith(kFolders);
  const std::wstring folder = Folder(L"in");
  const std::wstring a = folder + L"\\a.mp3", b = folder + L"\\b.mp3";
  const std::string bytesA = Id3v1Mp3("A"), bytesB = Id3v1Mp3("A", "1999");
  WriteBytes(a, bytesA);
  WriteBytes(b, bytesB);
  DropAndWait({a, b});
  const std::wstring target = folder + L"\\A\\L\\03 T.mp3";
  EXPECT_EQ(TargetOf(0), target);
  std::wstring report = RunFromMenu(window_, IDM_EXECRENAME);
  EXPECT_NE(report.find(L"○ " + a + L"\r\n -> " + target), std::wstring::npos) << report.size();
  EXPECT_EQ(ReadBytes(target), bytesA);
  EXPECT_FALSE(IsThere(a));
  report = RunFromMenu(window_, IDM_UNDORENAME);
  EXPECT_EQ(ReadBytes(a), bytesA);
  EXPECT_EQ(ReadBytes(b), bytesB);
  EXPECT_FALSE(IsThere(target));
  EXPECT_FALSE(IsThere(folder + L"\\A"));
  PostMessageW(window_, WM_CLOSE, 0, 0);
  EXPECT_TRUE(Ends());
}
