// FLAC, AAC, ALAC, Ogg Vorbis and Opus files with the real program: a folder
// of every format dropped, the names their tags give, the property dialog's
// lines for each, a run and its undo, a FLAC file played, and a title
// edited in the tag of each format the library writes.
#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_window.h"
#include "audio/property/property_dialog.h"
#include "tests/support/host_python.h"
#include "tests/support/program_driver.h"
#include "tests/support/silent_mp3.h"
#include "tests/support/test_files.h"

using program_driver::Remote;
using testing_files::ReadBytes;
using testing_files::WriteBytes;

namespace {

struct FormatFile {
  const wchar_t* name;
  const wchar_t* title;
  const wchar_t* lines;  // the property dialog's first lines
};

const FormatFile kFiles[] = {
    {L"alac.m4a", L"アラックの歌", L"Format：ALAC\r\nChannels：2\r\n"},
    {L"song.flac", L"フラックの歌", L"Format：FLAC\r\nChannels：2\r\n"},
    {L"song.m4a", L"エーエーシーの歌", L"Format：AAC\r\nChannels：2\r\n"},
    {L"song.ogg", L"ボルビスの歌", L"Format：Vorbis\r\nChannels：2\r\n"},
    {L"song.opus", L"オーパスの歌", L"Format：Opus\r\nChannels：2\r\n"},
};

std::wstring Fixture(const wchar_t* name) {
  return std::wstring(L"" FORMAT_FIXTURES) + L"\\" + name;
}

class FormatsProgramTest : public program_driver::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    for (const FormatFile& file : kFiles) {
      if (GetFileAttributesW(Fixture(file.name).c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "fixture not made (an encoder or mutagen is missing)";
    }
  }
  // Starts the program and drops a folder holding every format and an MP3.
  void DropTheFolder() {
    WriteBytes(*folder_ / L"velnoir.ini",
               "[QKPomeren_SE Setting]\r\nRenameExt_Default=%A - %T\r\n");
    in_ = *folder_ / L"in";
    CreateDirectoryW(in_.c_str(), nullptr);
    for (const FormatFile& file : kFiles)
      ASSERT_TRUE(CopyFileW(Fixture(file.name).c_str(), (in_ + L"\\" + file.name).c_str(), FALSE));
    WriteBytes(in_ + L"\\zz.mp3", testing_files::SilentMp3(8, "Song", "Artist"));
    WriteBytes(in_ + L"\\notes.txt", "not audio");
    Start(L"");
    window_ = MainWindowOf();
    ASSERT_NE(window_, nullptr);
    list_ = Child(window_, WC_LISTVIEWW);
    PostMessageW(window_, WM_DROPFILES,
                 reinterpret_cast<WPARAM>(program_driver::DropBlockFor(window_, {in_})), 0);
    for (int i = 0; i < 400 && Count() != 6; ++i) Sleep(25);
    ASSERT_EQ(Count(), 6);
  }
  int Count() const { return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }
  std::wstring SourceOf(int item) { return Remote(window_).ItemText(list_, item, 0); }
  std::wstring TargetOf(int item) { return Remote(window_).ItemText(list_, item, 1); }

  std::wstring in_;
  HWND window_ = nullptr, list_ = nullptr;
};

}  // namespace

TEST_F(FormatsProgramTest, AFolderOfEveryFormatIsNamedShownRenamedAndUndone) {
  DropTheFolder();
  // Explorer's order within the folder; each name from the file's own tag.
  std::vector<std::string> before;
  for (int i = 0; i < 5; ++i) {
    const FormatFile& file = kFiles[i];
    const std::wstring ext = std::wstring(file.name).substr(std::wstring(file.name).rfind(L'.'));
    EXPECT_EQ(SourceOf(i), in_ + L"\\" + file.name);
    EXPECT_EQ(TargetOf(i), in_ + L"\\作者 - " + file.title + ext);
    before.push_back(ReadBytes(in_ + L"\\" + file.name));
  }
  EXPECT_EQ(TargetOf(5), in_ + L"\\Artist - Song.mp3");

  for (int i = 0; i < 5; ++i) {
    Remote(window_).SelectItem(list_, i);
    PostMessageW(window_, WM_COMMAND, IDM_RMPROPERTY, 0);
    const std::wstring caption = std::wstring(kFiles[i].name) + L" のプロパティ";
    HWND dialog = WaitForShownWindow(L"VelnoirFileProperty", caption.c_str(), 5000);
    ASSERT_NE(dialog, nullptr) << i;
    const std::wstring lines = WindowText(GetDlgItem(dialog, PropertyDialog::kStreamInfo));
    EXPECT_EQ(lines.rfind(kFiles[i].lines, 0), 0u) << lines;
    const bool sampleSize = i < 2;  // ALAC and FLAC
    EXPECT_EQ(lines.find(L"BitsPerSample：") != std::wstring::npos, sampleSize) << lines;
    EXPECT_NE(lines.find(L"\r\nTime：0:03"), std::wstring::npos) << lines;
    EXPECT_EQ(lines.find(L"ID3v2"), std::wstring::npos) << lines;
    HWND title = GetDlgItem(dialog, PropertyDialog::kTitle);
    EXPECT_EQ(WindowText(title), kFiles[i].title);
    // The library writes each of these tags: the boxes are open.
    EXPECT_FALSE(GetWindowLongW(title, GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, PropertyDialog::kGenre)));
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    for (int wait = 0; wait < 100 && IsWindow(dialog); ++wait) Sleep(50);
  }

  RunFromMenu(window_, IDM_EXECRENAME);
  for (int i = 0; i < 5; ++i) {
    const std::wstring name(kFiles[i].name);
    EXPECT_EQ(ReadBytes(in_ + L"\\作者 - " + kFiles[i].title + name.substr(name.rfind(L'.'))),
              before[i])
        << i;
  }
  RunFromMenu(window_, IDM_UNDORENAME);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(ReadBytes(in_ + L"\\" + kFiles[i].name), before[i]) << i;
  PostMessageW(window_, WM_CLOSE, 0, 0);
  EXPECT_TRUE(Ends());
}

// FLAC through the library's own decoder: the title from its Vorbis comment
// and the time from its stream, as for an MP3.
TEST_F(FormatsProgramTest, AFlacFilePlaysWithItsTitleAndTime) {
  if (waveOutGetNumDevs() == 0) GTEST_SKIP() << "no audio output device";
  const std::wstring path = *folder_ / L"song.flac";
  ASSERT_TRUE(CopyFileW(Fixture(L"song.flac").c_str(), path.c_str(), FALSE));
  Start(L"\"" + path + L"\"");
  window_ = MainWindowOf();
  ASSERT_NE(window_, nullptr);
  list_ = Child(window_, WC_LISTVIEWW);
  HWND status = Child(window_, STATUSCLASSNAMEW);
  Remote remote(window_);
  remote.SelectItem(list_, 0);
  PostMessageW(window_, WM_COMMAND, IDM_PLAYERPLAY, 0);
  std::wstring seen;
  for (int i = 0; i < 60 && seen.rfind(L"再生中", 0) != 0; ++i) {
    Sleep(100);
    seen = remote.StatusText(status, 1);
  }
  EXPECT_EQ(seen.rfind(L"再生中 - フラックの歌 - ", 0), 0u) << seen;
  EXPECT_NE(seen.find(L"/0:03"), std::wstring::npos) << seen;
  for (int i = 0; i < 80 && seen != L"停止"; ++i) {
    Sleep(100);
    seen = remote.StatusText(status, 1);
  }
  EXPECT_EQ(seen, L"停止");
  PostMessageW(window_, WM_CLOSE, 0, 0);
  EXPECT_TRUE(Ends());
}

namespace {

// The title mutagen reads from any of the formats.
const char kReadTitle[] =
    "import sys, os\n"
    "lines = []\n"
    "try:\n"
    "    import mutagen\n"
    "    f = mutagen.File(sys.argv[1])\n"
    "    mp4 = type(f).__name__ == 'MP4'\n"
    "    lines.append('title=' + '; '.join(f['\\xa9nam' if mp4 else 'title']))\n"
    "    lines.append('artist=' + '; '.join(f['\\xa9ART' if mp4 else 'artist']))\n"
    "except Exception as e:\n"
    "    pass\n"
    "open(sys.argv[2] + '.part', 'w', encoding='utf-8').write('\\n'.join(lines))\n"
    "os.rename(sys.argv[2] + '.part', sys.argv[2])\n";

}  // namespace

TEST_F(FormatsProgramTest, ATitleEditedInTheDialogNamesTheFileAndIsWrittenIntoItsTag) {
  const std::wstring title = L"Café 노래 ☆";
  for (const wchar_t* name : {L"song.flac", L"song.ogg", L"song.opus", L"song.m4a", L"alac.m4a"}) {
    SCOPED_TRACE(name);
    const std::wstring path = *folder_ / name;
    const std::wstring ext = std::wstring(name).substr(std::wstring(name).rfind(L'.'));
    ASSERT_TRUE(CopyFileW(Fixture(name).c_str(), path.c_str(), FALSE));
    Start(L"\"" + path + L"\"");
    window_ = MainWindowOf();
    ASSERT_NE(window_, nullptr);
    list_ = Child(window_, WC_LISTVIEWW);
    Remote(window_).SelectItem(list_, 0);
    PostMessageW(window_, WM_COMMAND, IDM_RMPROPERTY, 0);
    HWND dialog = WaitForShownWindow(L"VelnoirFileProperty",
                                     (std::wstring(name) + L" のプロパティ").c_str(), 5000);
    ASSERT_NE(dialog, nullptr);
    HWND box = GetDlgItem(dialog, PropertyDialog::kTitle);
    EXPECT_FALSE(GetWindowLongW(box, GWL_STYLE) & ES_READONLY);
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title.c_str()));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(PropertyDialog::kOk, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, PropertyDialog::kOk)));
    for (int i = 0; i < 200 && IsWindow(dialog); ++i) Sleep(50);
    ASSERT_FALSE(IsWindow(dialog));
    const std::wstring renamed = *folder_ / (L"作者 - " + title + ext);
    EXPECT_EQ(Remote(window_).ItemText(list_, 0, 1), renamed);
    RunFromMenu(window_, IDM_EXECRENAME);
    EXPECT_NE(GetFileAttributesW(renamed.c_str()), INVALID_FILE_ATTRIBUTES);
    PostMessageW(window_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Ends());
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
    process_ = {};
    const std::map<std::string, std::wstring> read =
        host_python::KeyValueLines(*folder_, kReadTitle, renamed);
    if (read.empty()) GTEST_SKIP() << "no python3 with mutagen on the host";
    EXPECT_EQ(read.at("title"), title);
    EXPECT_EQ(read.at("artist"), L"作者");  // untouched
  }
}
