// The real program, driven from outside: a title edited in the property
// dialog with PreferID3v2 on goes into the ID3v2 tag, the list's target and
// the renamed file follow it, and an independent reader (mutagen) reads it.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "app/main_window.h"
#include "audio/property/property_dialog.h"
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

// The host's path of a file Wine knows, for a program of the host.
std::string UnixPath(const std::wstring& path) {
  using Convert = char*(CDECL*)(const wchar_t*);
  auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!convert) return "";
  char* unix = convert(path.c_str());
  std::string out = unix ? unix : "";
  HeapFree(GetProcessHeap(), 0, unix);
  return out;
}

// What mutagen reads as the file's title, through the host's python; empty
// when there is no python with mutagen.
std::wstring MutagenTitle(const testing_files::ScratchFolder& folder, const std::wstring& file) {
  const std::wstring script = folder / L"read_title.py", out = folder / L"title.txt";
  WriteBytes(script,
             "import sys\n"
             "try:\n"
             "    from mutagen.id3 import ID3\n"
             "    text = str(ID3(sys.argv[1])['TIT2'])\n"
             "except Exception as e:\n"
             "    text = ''\n"
             "open(sys.argv[2] + '.part', 'w', encoding='utf-8').write(text)\n"
             "import os\n"
             "os.rename(sys.argv[2] + '.part', sys.argv[2])\n");
  std::wstring command = L"start.exe /unix /usr/bin/python3 \"" + win::FromUtf8(UnixPath(script)) +
                         L"\" \"" + win::FromUtf8(UnixPath(file)) + L"\" \"" +
                         win::FromUtf8(UnixPath(out)) + L"\"";
  STARTUPINFOW si{sizeof(si)};
  PROCESS_INFORMATION pi{};
  if (GetFileAttributesW(L"Z:\\usr\\bin\\python3") == INVALID_FILE_ATTRIBUTES ||
      !CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    return L"";
  }
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  for (int i = 0; i < 200 && GetFileAttributesW(out.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
    Sleep(50);
  std::ifstream in(out.c_str(), std::ios::binary);
  return win::FromUtf8(
      std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
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
  const std::wstring read = MutagenTitle(*folder_, renamed);
  if (read.empty()) GTEST_SKIP() << "no python3 with mutagen on the host";
  EXPECT_EQ(read, L"Café 노래");
}
