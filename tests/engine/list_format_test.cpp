#include "engine/list_format.h"

#include <gtest/gtest.h>

using Lines = std::vector<std::wstring>;

TEST(ParseTemplateLines, CrLfAndLoneCrEndALine) {
  EXPECT_EQ(ParseTemplateLines(L"%A - %T\r\n(%A) %T\r\n%T\r\n"),
            (Lines{L"%A - %T", L"(%A) %T", L"%T"}));
  EXPECT_EQ(ParseTemplateLines(L"a\rb\r"), (Lines{L"a", L"b"}));
  EXPECT_EQ(ParseTemplateLines(L"a\r\rb"), (Lines{L"a", L"b"}));
}

TEST(ParseTemplateLines, LoneLfStaysInTheLine) {
  EXPECT_EQ(ParseTemplateLines(L"a\nb\r\n"), (Lines{L"a\nb"}));
  EXPECT_EQ(ParseTemplateLines(L"\r\n\nx"), (Lines{L"\nx"}));
  // CR LF LF: the second LF starts the next line.
  EXPECT_EQ(ParseTemplateLines(L"a\r\n\n"), (Lines{L"a", L"\n"}));
}

TEST(ParseTemplateLines, DropsEmptyLinesKeepsBlankOnes) {
  EXPECT_EQ(ParseTemplateLines(L""), Lines{});
  EXPECT_EQ(ParseTemplateLines(L"\r\n\r\n\r"), Lines{});
  EXPECT_EQ(ParseTemplateLines(L"\r\n%A\r\n\r\n%T\r\n\r\n"), (Lines{L"%A", L"%T"}));
  EXPECT_EQ(ParseTemplateLines(L"  \r\n"), (Lines{L"  "}));
  // The last line needs no line end.
  EXPECT_EQ(ParseTemplateLines(L"%A\r\n%T"), (Lines{L"%A", L"%T"}));
}

TEST(FormatTemplateLines, EndsEveryTemplateWithCrLfAndSkipsEmptyOnes) {
  EXPECT_EQ(FormatTemplateLines(DefaultTemplates()), L"%A - %T\r\n(%A) %T\r\n%T\r\n");
  EXPECT_EQ(FormatTemplateLines({L"", L"a", L"", L"b\nc"}), L"a\r\nb\nc\r\n");
  EXPECT_EQ(FormatTemplateLines({L"", L""}), L"");
  EXPECT_EQ(FormatTemplateLines({}), L"");
}

TEST(FormatTemplateLines, ReadsBackAsWritten) {
  Lines templates{L"%A - %T", L" ", L"x\ny", L"表ソ %G"};
  EXPECT_EQ(ParseTemplateLines(FormatTemplateLines(templates)), templates);
}
