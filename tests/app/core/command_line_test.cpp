#include "app/core/command_line.h"

#include <gtest/gtest.h>

using Paths = std::vector<std::wstring>;

TEST(SplitCommandLine, PlainAndQuotedPaths) {
  EXPECT_EQ(SplitCommandLine(L""), Paths{});
  EXPECT_EQ(SplitCommandLine(L"C:\\a.mp3 D:\\b.mp3"), (Paths{L"C:\\a.mp3", L"D:\\b.mp3"}));
  // A quoted path with spaces loses its quotes and keeps its spaces.
  EXPECT_EQ(SplitCommandLine(L"\"C:\\My Music\\a b.mp3\""), Paths{L"C:\\My Music\\a b.mp3"});
  // A quoted path without spaces does not swallow the next token.
  EXPECT_EQ(SplitCommandLine(L"\"C:\\a.mp3\" C:\\b.mp3"), (Paths{L"C:\\a.mp3", L"C:\\b.mp3"}));
}

TEST(SplitCommandLine, OddSpacingAndUnclosedQuote) {
  // Consecutive spaces give empty tokens, which name no file.
  EXPECT_EQ(SplitCommandLine(L"a  b"), (Paths{L"a", L"", L"b"}));
  // Inside quotes the spaces are kept one by one.
  EXPECT_EQ(SplitCommandLine(L"\"x  y\""), Paths{L"x  y"});
  // Without a closing quote the rest of the line is the path.
  EXPECT_EQ(SplitCommandLine(L"\"C:\\My Music\\a b.mp3 c.mp3"),
            Paths{L"C:\\My Music\\a b.mp3 c.mp3"});
  // A lone quote opens a path; the token after it is joined.
  EXPECT_EQ(SplitCommandLine(L"\" a.mp3"), Paths{L" a.mp3"});
  EXPECT_EQ(SplitCommandLine(L"\""), Paths{L""});
}

TEST(SplitCommandLine, LetsMessagesRunBetweenJoinedTokens) {
  int calls = 0;
  SplitCommandLine(L"\"a b c\" d", [&] { ++calls; });
  EXPECT_EQ(calls, 2);
}

TEST(ArgumentsOf, DropsTheProgramName) {
  EXPECT_EQ(ArgumentsOf(L"\"C:\\Program Files\\velnoir.exe\" \"a b.mp3\""), L"\"a b.mp3\"");
  EXPECT_EQ(ArgumentsOf(L"velnoir.exe  x.mp3"), L"x.mp3");
  EXPECT_EQ(ArgumentsOf(L"velnoir.exe"), L"");
  EXPECT_EQ(ArgumentsOf(L"\"velnoir.exe\""), L"");
}
