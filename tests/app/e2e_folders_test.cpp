// The real program with a whole collection: a tree of folders dropped on the
// list and named on the command line brings in exactly its audio files in
// Explorer order; "%A\%L\%N %T" with folder creation renames into new
// folders, and the undo takes back the files and exactly the folders made.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "app/main_window.h"
#include "tests/support/program_driver.h"
#include "tests/support/silent_mp3.h"
#include "tests/support/test_files.h"

using program_driver::ProgramTest;
using program_driver::Remote;
using testing_files::ReadBytes;
using testing_files::WriteBytes;

namespace {

class FolderProgramTest : public ProgramTest {
 protected:
  // Three levels, 200 audio files in mixed-case extensions, numbered so
  // that Explorer's order differs from a plain text order ("Album 10" after
  // "Album 2"), with a hidden file, a text file and a hidden folder; written
  // in shuffled order so the file system's own order tells nothing.
  std::vector<std::wstring> MakeTree(const std::wstring& root) {
    const wchar_t* extensions[] = {L".mp3", L".MP3", L".Wav", L".rmp", L".mp1"};
    std::vector<std::wstring> expected;
    auto files = [&](const std::wstring& folder, const wchar_t* stem, int count) {
      for (int i = 1; i <= count; ++i)
        expected.push_back(folder + L"\\" + stem + std::to_wstring(i) + extensions[i % 5]);
    };
    files(root, L"Track ", 8);
    for (const wchar_t* album : {L"Album 1", L"Album 2", L"Album 10"}) {
      files(root + L"\\" + album, L"", 56);
      files(root + L"\\" + album + L"\\Disc 2", L"Song ", 8);
    }
    std::vector<std::wstring> shuffled = expected;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(24));
    for (const std::wstring& file : shuffled) {
      SHCreateDirectoryExW(nullptr, file.substr(0, file.rfind(L'\\')).c_str(), nullptr);
      WriteBytes(file, "not audio");
    }
    WriteBytes(root + L"\\notes.txt", "text");
    WriteBytes(root + L"\\Album 2\\.hidden.mp3", "dot files are hidden");
    SetFileAttributesW((root + L"\\Album 2\\.hidden.mp3").c_str(), FILE_ATTRIBUTE_HIDDEN);
    WriteBytes(root + L"\\Album 2\\cover.MP3", "hidden by attribute");
    SetFileAttributesW((root + L"\\Album 2\\cover.MP3").c_str(), FILE_ATTRIBUTE_HIDDEN);
    CreateDirectoryW((root + L"\\Secret").c_str(), nullptr);
    WriteBytes(root + L"\\Secret\\s.mp3", "in a hidden folder");
    SetFileAttributesW((root + L"\\Secret").c_str(), FILE_ATTRIBUTE_HIDDEN);
    return expected;
  }
  std::vector<std::wstring> Sources(HWND window) {
    HWND list = Child(window, WC_LISTVIEWW);
    Remote remote(window);
    std::vector<std::wstring> sources;
    int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) sources.push_back(remote.ItemText(list, i, 0));
    return sources;
  }
  // A shell drop from outside: the block lives in the program's memory.
  void DropOn(HWND window, const std::wstring& path) {
    SendMessageW(window, WM_DROPFILES,
                 reinterpret_cast<WPARAM>(program_driver::DropBlockFor(window, {path})), 0);
    WaitUntilAdded(window);
  }
  bool IsFolder(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
};

std::string TrackedMp3(const std::string& title, const std::string& artist,
                       const std::string& album, int track) {
  std::string bytes =
      testing_files::SilentFrames(10) + testing_files::Id3v1Tag(title, artist, album);
  bytes[bytes.size() - 2] = static_cast<char>(track);  // ID3v1.1: NUL, then the track byte
  return bytes;
}

}  // namespace

TEST_F(FolderProgramTest, ATreeDroppedOrOnTheCommandLineGivesItsAudioFilesInExplorerOrder) {
  std::wstring root = *folder_ / L"Collection";
  std::vector<std::wstring> expected = MakeTree(root);
  ASSERT_EQ(expected.size(), 200u);

  Start(L"");
  HWND window = MainWindowOf();
  ASSERT_NE(window, nullptr);
  DropOn(window, root);
  EXPECT_EQ(Sources(window), expected);

  Start(L"\"" + root + L"\"");
  window = MainWindowOf();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(Sources(window), expected);
}

TEST_F(FolderProgramTest, FolderCreationRenamesIntoNewFoldersAndUndoRemovesThem) {
  std::wstring src = *folder_ / L"src";
  CreateDirectoryW(src.c_str(), nullptr);
  struct Song {
    const wchar_t* file;
    const char *title, *artist, *album;
    int track;
    const wchar_t* target;
  };
  const Song songs[] = {
      {L"a.mp3", "One", "Band", "First", 1, L"Band\\First\\01 One.mp3"},
      {L"b.mp3", "Two", "Band", "First", 2, L"Band\\First\\02 Two.mp3"},
      {L"c.mp3", "Ten", "Band", "Second", 10, L"Band\\Second\\10 Ten.mp3"},
      {L"d.mp3", "Solo", "Singer", "Live", 3, L"Singer\\Live\\03 Solo.mp3"},
  };
  for (const Song& s : songs)
    WriteBytes(src + L"\\" + s.file, TrackedMp3(s.title, s.artist, s.album, s.track));

  for (bool make : {false, true}) {
    WriteBytes(*folder_ / L"velnoir.ini",
               std::string("[QKPomeren_SE Setting]\r\nRenameExt_Default=%A\\%L\\%N %T\r\n") +
                   "MakeFolders=" + (make ? "1" : "0") + "\r\n");
    Start(L"\"" + src + L"\"");
    HWND window = MainWindowOf();
    ASSERT_NE(window, nullptr);
    std::wstring report = RunFromMenu(window, IDM_EXECRENAME);
    for (const Song& s : songs) {
      std::wstring target = src + L"\\" + s.target;
      EXPECT_EQ(Exists(target), make) << testing::PrintToString(target);
      EXPECT_EQ(Exists(src + L"\\" + s.file), !make);
    }
    if (!make) {
      // As before the setting: every entry fails with the platform's text.
      EXPECT_NE(report.find(L"失敗ファイル数：4"), std::wstring::npos) << report;
      EXPECT_NE(report.find(L"リネームエラー："), std::wstring::npos) << report;
      EXPECT_FALSE(Exists(src + L"\\Band"));
      continue;
    }
    EXPECT_NE(report.find(L"成功ファイル数：4"), std::wstring::npos) << report;
    // Something of the user's own lands in a folder the run made.
    WriteBytes(src + L"\\Singer\\notes.txt", "mine");
    std::wstring undo = RunFromMenu(window, IDM_UNDORENAME);
    for (const Song& s : songs)
      EXPECT_EQ(ReadBytes(src + L"\\" + s.file).size(), 10 * 418u - 1 + 128);
    EXPECT_FALSE(Exists(src + L"\\Band"));
    EXPECT_FALSE(Exists(src + L"\\Singer\\Live"));
    EXPECT_TRUE(IsFolder(src + L"\\Singer"));
    EXPECT_NE(undo.find(L"フォルダは空でないため残しました：" + src + L"\\Singer\r\n"),
              std::wstring::npos)
        << undo;
  }
}
