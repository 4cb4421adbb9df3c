// The real program, driven from outside: a title edited in the property
// dialog with PreferID3v2 on goes into the ID3v2 tag, the list's target and
// the renamed file follow it, and an independent reader (mutagen) reads it.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <utility>
#include <vector>
#include <string>

#include "app/main_window.h"
#include "audio/property/property_dialog.h"
#include "tests/support/host_python.h"
#include "tests/support/program_driver.h"
#include "tests/support/test_files.h"
#include "win/text.h"

using program_driver::ProgramTest;
using program_driver::Remote;
using testing_files::WriteBytes;

namespace {

std::string Id3v23(const std::string& title, const std::string& artist) {
  auto frame = [](const char* id, const std::string& text) {
    const std::string body = std::string(1, '\0') + text;
    return std::string(id, 4) + std::string(3, '\0') + static_cast<char>(body.size()) +
           std::string(2, '\0') + body;
  };
  const std::string frames = frame("TIT2", title) + frame("TPE1", artist);
  return std::string("ID3\x03\x00\x00\x00\x00\x00", 9) + static_cast<char>(frames.size()) + frames;
}

// An ID3v2.4 tag of UTF-8 text frames, sizes of any length.
std::string Id3v24(const std::vector<std::pair<std::string, std::string>>& frames) {
  auto syncSafe = [](size_t n) {
    return std::string{static_cast<char>((n >> 21) & 0x7F), static_cast<char>((n >> 14) & 0x7F),
                       static_cast<char>((n >> 7) & 0x7F), static_cast<char>(n & 0x7F)};
  };
  std::string body;
  for (const auto& [id, text] : frames)
    body += id + syncSafe(text.size() + 1) + '\0' + '\0' + '\3' + text;
  return std::string("ID3\x04\0\0", 6) + syncSafe(body.size()) + body;
}

// The host's path of a file Wine knows, for a program of the host.
// What mutagen reads from the file's ID3v2 tag, by frame (TIT2, TPE1, TALB,
// TDRC, COMM: the comment without description, TCON), through the host's
// python; empty when there is no python with mutagen or no tag.
std::map<std::string, std::wstring> MutagenTexts(const testing_files::ScratchFolder& folder,
                                                 const std::wstring& file) {
  return host_python::KeyValueLines(
      folder,
      "import sys, os\n"
      "lines = []\n"
      "try:\n"
      "    from mutagen.id3 import ID3\n"
      "    tag = ID3(sys.argv[1])\n"
      "    for fid in ('TIT2', 'TPE1', 'TALB', 'TDRC', 'TCON'):\n"
      "        if fid in tag: lines.append(fid + '=' + str(tag[fid]))\n"
      "    for c in tag.getall('COMM'):\n"
      "        if c.desc == '': lines.append('COMM=' + str(c))\n"
      "except Exception as e:\n"
      "    pass\n"
      "open(sys.argv[2] + '.part', 'w', encoding='utf-8').write('\\n'.join(lines))\n"
      "os.rename(sys.argv[2] + '.part', sys.argv[2])\n",
      file);
}

}  // namespace

TEST_F(ProgramTest, AnEditedId3v2TitleNamesTheFileAndIsWrittenIntoItsTag) {
  const std::string withV1 = testing_files::SilentMp3(20, "V1 Title", "V1 Artist");
  WriteBytes(*folder_ / L"old.mp3", Id3v23("Old", "Artist") + withV1);
  WriteBytes(*folder_ / L"velnoir.ini", "[QKPomeren_SE Setting]\r\nPreferID3v2=1\r\n");
  Start(L"\"" + (*folder_ / L"old.mp3") + L"\"");
  HWND window = MainWindowOf();
  ASSERT_NE(window, nullptr);
  HWND list = Child(window, WC_LISTVIEWW);
  Remote remote(window);
  ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 1);
  EXPECT_EQ(remote.ItemText(list, 0, 3), L"Artist - Old.mp3");

  remote.SelectItem(list, 0);
  PostMessageW(window, WM_COMMAND, IDM_RMPROPERTY, 0);
  HWND dialog = WaitForShownWindow(L"VelnoirFileProperty", L"old.mp3 のプロパティ");
  ASSERT_NE(dialog, nullptr);
  HWND title = GetDlgItem(dialog, PropertyDialog::kTitle);
  SendMessageW(title, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Café 노래"));
  HWND ok = GetDlgItem(dialog, PropertyDialog::kOk);
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(PropertyDialog::kOk, BN_CLICKED),
               reinterpret_cast<LPARAM>(ok));
  for (int i = 0; i < 200 && IsWindow(dialog); ++i) Sleep(50);
  ASSERT_FALSE(IsWindow(dialog));
  EXPECT_EQ(remote.ItemText(list, 0, 3), L"Artist - Café 노래.mp3");

  PostMessageW(window, WM_COMMAND, IDM_EXECRENAME, 0);
  const std::wstring renamed = *folder_ / L"Artist - Café 노래.mp3";
  for (int i = 0; i < 200 && GetFileAttributesW(renamed.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
    Sleep(50);
  ASSERT_NE(GetFileAttributesW(renamed.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesW((*folder_ / L"old.mp3").c_str()), INVALID_FILE_ATTRIBUTES);
  const std::map<std::string, std::wstring> read = MutagenTexts(*folder_, renamed);
  if (read.empty()) GTEST_SKIP() << "no python3 with mutagen on the host";
  EXPECT_EQ(read.at("TIT2"), L"Café 노래");
}

namespace {

class TagEditTest : public ProgramTest {
 protected:
  // Starts the program on one file and opens its property dialog.
  HWND OpenProperties(const std::wstring& name, bool preferId3v2) {
    if (preferId3v2)
      WriteBytes(*folder_ / L"velnoir.ini", "[QKPomeren_SE Setting]\r\nPreferID3v2=1\r\n");
    Start(L"\"" + (*folder_ / name) + L"\"");
    window_ = MainWindowOf();
    if (!window_) return nullptr;
    list_ = Child(window_, WC_LISTVIEWW);
    Remote(window_).SelectItem(list_, 0);
    PostMessageW(window_, WM_COMMAND, IDM_RMPROPERTY, 0);
    return WaitForShownWindow(L"VelnoirFileProperty", (name + L" のプロパティ").c_str(), 5000);
  }
  std::wstring Target() { return Remote(window_).ItemText(list_, 0, 3); }
  static void SetBox(HWND dialog, int id, const std::wstring& text) {
    SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  static bool ClickOk(HWND dialog) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(PropertyDialog::kOk, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, PropertyDialog::kOk)));
    for (int i = 0; i < 200 && IsWindow(dialog); ++i) Sleep(50);
    return !IsWindow(dialog);
  }
  // The texts of a message box, once it has them.
  static std::wstring MessageText(HWND box) {
    std::wstring texts;
    for (int i = 0; i < 100 && texts.empty(); ++i, Sleep(20)) {
      for (HWND child = nullptr; (child = FindWindowExW(box, child, L"Static", nullptr));)
        texts += WindowText(child);
    }
    return texts;
  }
  HWND window_ = nullptr, list_ = nullptr;
};

}  // namespace

TEST_F(TagEditTest, AFileAnotherProgramHoldsKeepsBothTagsWhateverOkIsGiven) {
  const std::wstring path = *folder_ / L"held.mp3";
  WriteBytes(path, Id3v23("Old", "Artist") + testing_files::SilentMp3(20, "V1 Title", "V1 Artist"));
  const std::string before = testing_files::ReadBytes(path);
  Start(L"\"" + path + L"\"");
  window_ = MainWindowOf();
  ASSERT_NE(window_, nullptr);
  list_ = Child(window_, WC_LISTVIEWW);
  HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  Remote(window_).SelectItem(list_, 0);
  PostMessageW(window_, WM_COMMAND, IDM_RMPROPERTY, 0);
  HWND message = WaitForShownWindow(L"#32770", nullptr);
  ASSERT_NE(message, nullptr);
  EXPECT_NE(MessageText(message).find(L"指定したファイルのデータが収得できません。"),
            std::wstring::npos);
  PostMessageW(message, WM_COMMAND, IDOK, 0);
  HWND dialog = WaitForShownWindow(L"VelnoirFileProperty", L"held.mp3 のプロパティ");
  CloseHandle(held);  // let go while the dialog is open
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, PropertyDialog::kTitle)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, PropertyDialog::kGenre)));
  SetBox(dialog, PropertyDialog::kTitle, L"New title");
  ASSERT_TRUE(ClickOk(dialog));
  EXPECT_TRUE(testing_files::ReadBytes(path) == before) << "the tags changed";
}

TEST_F(TagEditTest, ALongJapaneseTitleIsNamedShownAndWrittenWhole) {
  std::wstring title;
  for (int i = 0; i < 65; ++i) title += static_cast<wchar_t>(L'あ' + i % 40);
  WriteBytes(*folder_ / L"long.mp3", Id3v24({{"TIT2", win::ToUtf8(title)}, {"TPE1", "Artist"}}) +
                                         testing_files::SilentFrames(20));
  HWND dialog = OpenProperties(L"long.mp3", true);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(Target(), L"Artist - " + title + L".mp3");
  EXPECT_EQ(WindowText(GetDlgItem(dialog, PropertyDialog::kTitle)), title);
  std::wstring edited = title;
  edited[30] = L'ん';
  SetBox(dialog, PropertyDialog::kTitle, edited);
  ASSERT_TRUE(ClickOk(dialog));
  EXPECT_EQ(Target(), L"Artist - " + edited + L".mp3");
  std::map<std::string, std::wstring> read = MutagenTexts(*folder_, *folder_ / L"long.mp3");
  if (read.empty()) GTEST_SKIP() << "no python3 with mutagen on the host";
  EXPECT_EQ(read["TIT2"], edited);
  EXPECT_EQ(read["TPE1"], L"Artist");
}

TEST_F(TagEditTest, AnId3v1OnlyFileEditedPreferringId3v2GetsEveryShownFieldInItsNewTag) {
  WriteBytes(*folder_ / L"v1.mp3",
             testing_files::SilentFrames(20) +
                 testing_files::Id3v1Tag("V1 Title", "V1 Artist", "V1 Album", "1999", "Note", 17));
  HWND dialog = OpenProperties(L"v1.mp3", true);
  ASSERT_NE(dialog, nullptr);
  SetBox(dialog, PropertyDialog::kTitle, L"Edited");
  ASSERT_TRUE(ClickOk(dialog));
  std::map<std::string, std::wstring> read = MutagenTexts(*folder_, *folder_ / L"v1.mp3");
  if (read.empty()) GTEST_SKIP() << "no python3 with mutagen on the host";
  EXPECT_EQ(read["TIT2"], L"Edited");
  EXPECT_EQ(read["TPE1"], L"V1 Artist");
  EXPECT_EQ(read["TALB"], L"V1 Album");
  EXPECT_EQ(read["TDRC"], L"1999");
  EXPECT_EQ(read["COMM"], L"Note");
  EXPECT_EQ(read["TCON"], L"Rock");
}
