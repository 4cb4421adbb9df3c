#include "options/dialog/option_rules.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::wstring> Lines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  for (;;) {
    size_t end = text.find(L"\r\n", start);
    lines.push_back(
        text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
    if (end == std::wstring::npos) return lines;
    start = end + 2;
  }
}

}  // namespace

// Every placeholder the name builder knows is named where templates are edited.
TEST(TemplateLegend, EightLinesWithAlignedSecondColumn) {
  std::vector<std::wstring> lines = Lines(kTemplateLegend);
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0], L"<置き換え用文字>");
  EXPECT_EQ(lines[4], L"　%N - ID3 Track         %B - AlbumArtist");
  EXPECT_EQ(lines[5], L"　%D - Disc              %F - FileName");
  EXPECT_EQ(lines[6], L"　<%B|%A> - 値のある最初の候補（無ければ省略）");
  EXPECT_EQ(lines[7], L"※大文字、小文字は区別されます。");
  const wchar_t* second[] = {L"%T", L"%Y", L"%G", L"%B", L"%F"};
  int column = -1;
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(lines[i][0], L'\u3000') << i;
    size_t at = lines[i].find(second[i - 1]);
    ASSERT_NE(at, std::wstring::npos) << i;
    int here = DisplayColumns(lines[i].substr(0, at));
    if (column < 0) column = here;
    EXPECT_EQ(here, column) << "line " << i + 1;
  }
  EXPECT_EQ(lines[1], L"　%A - ID3 Artist        %T - ID3 Title");
  EXPECT_EQ(lines[2], L"　%L - ID3 Album　       %Y - ID3 Year");
  EXPECT_EQ(lines[3], L"　%C - ID3 Comment　     %G - ID3 Genre");
}

// A hand-edited code outside a policy list must still open.
TEST(OptionSelections, CodesOutsideTheLists) {
  EXPECT_EQ(PolicySelection(1, 1), 0);
  EXPECT_EQ(PolicySelection(-3, 1), 0);
  EXPECT_EQ(PolicySelection(2, 3), 2);
  EXPECT_EQ(PolicySelection(3, 3), 0);
  EXPECT_EQ(DoubleClickSelection(-1), 1);  // every code but 0 plays
  EXPECT_EQ(TemplatesFromEntries({L"%A - %T"}), std::vector<std::wstring>{});
}
