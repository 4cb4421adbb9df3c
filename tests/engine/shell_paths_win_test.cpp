// The path helpers against the Windows shell functions they stand for, on
// the ANSI form of each path.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include "engine/path_rules.h"
#include "win/text.h"

namespace {

const wchar_t* const kPaths[] = {
    L"D:\\My Music\\track01.mp3",
    L"C:\\song.mp3",
    L"C:\\",
    L"C:",
    L"C:song.mp3",
    L"\\",
    L"\\song.mp3",
    L"\\\\server\\share\\a.mp3",
    L"\\\\server\\share",
    L"\\\\",
    L"song.mp3",
    L"C:\\dir\\",
    L"C:\\dir\\\\x",
    L"a\\b\\c",
    L"C:/Music/a.mp3",
    L"C:\\a:b\\c",
    L"C:\\表\\ソ.mp3",
    L"C:\\ソ表",
    L"C:\\ソ\\",
    L"D:\\音楽ソフト\\表題 ソ.mp3",
    L"ｱｲ\\ｳｴ.mp3",
    L"C:\\My.Music\\track",
    L"",
};

}  // namespace

TEST(ShellPaths, RunUnderTheJapaneseCodePage) { EXPECT_EQ(GetACP(), 932u); }

TEST(ShellPaths, GetDirectoryPartMatchesPathRemoveFileSpecA) {
  for (const wchar_t* path : kPaths) {
    std::string ansi = win::ToAnsi(path);
    std::string buffer = ansi;
    buffer.resize(ansi.size() + MAX_PATH, '\0');
    BOOL removed = PathRemoveFileSpecA(buffer.data());
    std::wstring expected = removed ? win::FromAnsi(buffer.c_str()) : L"";
    EXPECT_EQ(GetDirectoryPart(path), expected) << win::ToUtf8(path);
  }
}

TEST(ShellPaths, GetFileNamePartMatchesPathFindFileNameA) {
  for (const wchar_t* path : kPaths) {
    std::string ansi = win::ToAnsi(path);
    std::wstring expected = win::FromAnsi(PathFindFileNameA(ansi.c_str()));
    EXPECT_EQ(GetFileNamePart(path), expected) << win::ToUtf8(path);
  }
}

TEST(ShellPaths, FileNameLimitCountsAnsiBytes) {
  for (int n : {129, 130, 131, 200}) {
    std::wstring name = L"a" + std::wstring(static_cast<size_t>(n), L'ソ');
    std::wstring part = GetFileNamePart(L"C:\\x\\" + name);
    EXPECT_LE(win::ToAnsi(part).size(), kFileNamePartBytes);
    EXPECT_EQ(part, name.substr(0, std::min<size_t>(name.size(), 131)));
  }
}
