#include "engine/path_rules.h"

#include <gtest/gtest.h>

TEST(AddPathSeparator, AddsExactlyOneBackslash) {
  EXPECT_EQ(AddPathSeparator(L""), L"\\");
  EXPECT_EQ(AddPathSeparator(L"C:\\"), L"C:\\");
  EXPECT_EQ(AddPathSeparator(L"C:\\Music"), L"C:\\Music\\");
  EXPECT_EQ(AddPathSeparator(L"C:/Music/"), L"C:/Music/\\");
  // 'ソ' ends in byte 0x5C in the ANSI form, yet is no separator.
  EXPECT_EQ(AddPathSeparator(L"C:\\ソ"), L"C:\\ソ\\");
}

TEST(GetDirectoryPart, GivesTheShellResults) {
  EXPECT_EQ(GetDirectoryPart(L"D:\\My Music\\track01.mp3"), L"D:\\My Music");
  EXPECT_EQ(GetDirectoryPart(L"C:\\song.mp3"), L"C:\\");
  EXPECT_EQ(GetDirectoryPart(L"C:\\dir\\"), L"C:\\dir");
  EXPECT_EQ(GetDirectoryPart(L"C:song.mp3"), L"C:");
  EXPECT_EQ(GetDirectoryPart(L"\\song.mp3"), L"\\");
  EXPECT_EQ(GetDirectoryPart(L"\\\\server\\share\\a.mp3"), L"\\\\server\\share");
  EXPECT_EQ(GetDirectoryPart(L"\\\\server\\share"), L"\\\\server");
  EXPECT_EQ(GetDirectoryPart(L"a\\b\\c"), L"a\\b");
}

TEST(GetDirectoryPart, IsEmptyWhenNothingIsRemoved) {
  EXPECT_EQ(GetDirectoryPart(L""), L"");
  EXPECT_EQ(GetDirectoryPart(L"C:\\"), L"");
  EXPECT_EQ(GetDirectoryPart(L"C:"), L"");
  EXPECT_EQ(GetDirectoryPart(L"\\"), L"");
  EXPECT_EQ(GetDirectoryPart(L"\\\\"), L"");
  // A bare name is removed whole: that is a removal, giving the empty text.
  EXPECT_EQ(GetDirectoryPart(L"song.mp3"), L"");
}

TEST(GetDirectoryPart, NeverSplitsDoubleByteCharacters) {
  EXPECT_EQ(GetDirectoryPart(L"C:\\表\\ソ.mp3"), L"C:\\表");
  EXPECT_EQ(GetDirectoryPart(L"C:\\ソ表"), L"C:\\");
  EXPECT_EQ(GetDirectoryPart(L"D:\\音楽ソフト\\表題.mp3"), L"D:\\音楽ソフト");
}

TEST(GetDirectoryPart, StopsAtNul) {
  EXPECT_EQ(GetDirectoryPart(std::wstring(L"C:\\a\\b.mp3\0\\x\\y", 16)), L"C:\\a");
}

TEST(GetFileNamePart, GivesTheShellResults) {
  EXPECT_EQ(GetFileNamePart(L"D:\\My Music\\track01.mp3"), L"track01.mp3");
  EXPECT_EQ(GetFileNamePart(L"track01.mp3"), L"track01.mp3");
  EXPECT_EQ(GetFileNamePart(L""), L"");
  EXPECT_EQ(GetFileNamePart(L"C:\\"), L"C:\\");
  EXPECT_EQ(GetFileNamePart(L"C:\\dir\\"), L"dir\\");
  EXPECT_EQ(GetFileNamePart(L"C:x.mp3"), L"x.mp3");
  EXPECT_EQ(GetFileNamePart(L"C:/Music/a.mp3"), L"a.mp3");
  EXPECT_EQ(GetFileNamePart(L"\\\\server\\share"), L"share");
}

TEST(GetFileNamePart, NeverSplitsDoubleByteCharacters) {
  EXPECT_EQ(GetFileNamePart(L"C:\\ソ\\表.mp3"), L"表.mp3");
  EXPECT_EQ(GetFileNamePart(L"C:\\表ソ"), L"表ソ");
}

TEST(GetFileNamePart, KeepsAtMost261AnsiBytesOfWholeCharacters) {
  const std::wstring dir = L"C:\\d\\";
  EXPECT_EQ(GetFileNamePart(dir + std::wstring(261, L'a')), std::wstring(261, L'a'));
  EXPECT_EQ(GetFileNamePart(dir + std::wstring(300, L'a')), std::wstring(261, L'a'));
  // 131 double-byte characters are 262 bytes: the last one does not fit.
  EXPECT_EQ(GetFileNamePart(dir + std::wstring(131, L'ソ')), std::wstring(130, L'ソ'));
  // One byte plus 130 double-byte characters fill 261 bytes exactly.
  EXPECT_EQ(GetFileNamePart(dir + L"a" + std::wstring(131, L'表')),
            L"a" + std::wstring(130, L'表'));
  // Half-width katakana are single bytes.
  EXPECT_EQ(GetFileNamePart(dir + std::wstring(300, L'ｱ')), std::wstring(261, L'ｱ'));
}

TEST(AnsiByteLength, CountsCodePage932Bytes) {
  EXPECT_EQ(AnsiByteLength(U'a'), 1u);
  EXPECT_EQ(AnsiByteLength(U'\\'), 1u);
  EXPECT_EQ(AnsiByteLength(U'ｱ'), 1u);
  EXPECT_EQ(AnsiByteLength(U'ﾟ'), 1u);
  EXPECT_EQ(AnsiByteLength(U'ソ'), 2u);
  EXPECT_EQ(AnsiByteLength(U'　'), 2u);
  EXPECT_EQ(AnsiByteLength(U'×'), 2u);
}

TEST(CutAtNull, EndsBeforeTheFirstNul) {
  EXPECT_EQ(CutAtNull(std::wstring(L"abc\0def", 7)), L"abc");
  EXPECT_EQ(CutAtNull(std::wstring(L"\0abc", 4)), L"");
  EXPECT_EQ(CutAtNull(std::wstring(L"  spaces stay  ")), L"  spaces stay  ");
  EXPECT_EQ(CutAtNull(std::string("abc\0def", 7)), "abc");
  EXPECT_EQ(CutAtNull(std::string("abc")), "abc");
}
