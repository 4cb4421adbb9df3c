#include "options/sstp/sstp_text.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace {

TEST(CutAtNull, KeepsTheTextBeforeTheFirstNul) {
  EXPECT_EQ(sstp::CutAtNull(L"ab\0cd"s), L"ab");
  EXPECT_EQ(sstp::CutAtNull(L"\0ab"s), L"");
  EXPECT_EQ(sstp::CutAtNull(L"abc"), L"abc");
  EXPECT_EQ(sstp::CutAtNull(L""), L"");
  EXPECT_EQ(sstp::CutAtNull(L"ab\0\0"s), L"ab");
}

TEST(TrimLeadingBreaks, RemovesLeadingBreaksOnlyFromTextsWithANul) {
  EXPECT_EQ(sstp::TrimLeadingBreaks(L"\r\nab\0"s), L"ab\0"s);
  EXPECT_EQ(sstp::TrimLeadingBreaks(L"\r\nab"), L"\r\nab");
  EXPECT_EQ(sstp::TrimLeadingBreaks(L"\0\r\n\0\nab\r\n\0"s), L"ab\r\n\0"s);
  // The NUL may stand anywhere, even after the text.
  EXPECT_EQ(sstp::TrimLeadingBreaks(L"\n\nx\ry\0"s), L"x\ry\0"s);
}

TEST(TrimLeadingBreaks, TextOfBreaksAndNulsOnlyBecomesEmpty) {
  EXPECT_EQ(sstp::TrimLeadingBreaks(L"\r\n\0\r"s), L"");
  EXPECT_EQ(sstp::TrimLeadingBreaks(L"\0"s), L"");
  EXPECT_EQ(sstp::TrimLeadingBreaks(L""), L"");
  // Without a NUL even a text of breaks is the caller's own.
  EXPECT_EQ(sstp::TrimLeadingBreaks(L"\r\n"), L"\r\n");
}

TEST(TrimLeadingBreaks, LeavesOtherWhitespaceAndJapaneseText) {
  EXPECT_EQ(sstp::TrimLeadingBreaks(L"\r\n ab\0"s), L" ab\0"s);
  EXPECT_EQ(sstp::TrimLeadingBreaks(L"\r\n\tab\0"s), L"\tab\0"s);
  EXPECT_EQ(sstp::TrimLeadingBreaks(L"\nこんにちは\0"s), L"こんにちは\0"s);
}

TEST(CleanText, TrimsThenCutsAtTheFirstNul) {
  EXPECT_EQ(sstp::CleanText(L"\r\nab\0cd"s), L"ab");
  EXPECT_EQ(sstp::CleanText(L"\0\0ab\0cd"s), L"ab");
  EXPECT_EQ(sstp::CleanText(L"\r\nab"), L"\r\nab");
  EXPECT_EQ(sstp::CleanText(L"\r\n\0"s), L"");
  EXPECT_EQ(sstp::CleanText(L"SSTP/1.1 200 OK\r\n\r\n\0\0\0"s), L"SSTP/1.1 200 OK\r\n\r\n");
}

}  // namespace
