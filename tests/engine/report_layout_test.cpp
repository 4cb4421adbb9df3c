#include "engine/report_layout.h"

#include <gtest/gtest.h>

namespace {

// Half-width characters are 1 wide, everything from U+0100 on 2, like a
// fixed-pitch Japanese font; every measure is counted.
struct Cells {
  int asked = 0;
  CharacterWidths widths{[this](char32_t c) {
    ++asked;
    return c < 0x100 ? 1 : 2;
  }};
};

std::vector<std::wstring> Rows(const std::wstring& text, const ReportLayout& layout) {
  std::vector<std::wstring> rows;
  for (size_t i = 0; i < layout.RowCount(); ++i)
    rows.push_back(text.substr(layout.Row(i).start, layout.Row(i).length));
  return rows;
}

TEST(ReportLayout, LinesBreakAtSpacesAndLongWordsAtTheWidth) {
  Cells cells;
  ReportLayout layout;
  const std::wstring text = L"ab cd ef\r\n\r\nabcdefghij\r\n○ あい";
  layout.Reset(text, 6, cells.widths);
  EXPECT_EQ(Rows(text, layout),
            (std::vector<std::wstring>{L"ab cd ", L"ef", L"", L"abcdef", L"ghij", L"○ ", L"あい"}));
  // A width narrower than any character still shows every character.
  layout.Reset(text, 1, cells.widths);
  EXPECT_EQ(Rows(text, layout).back(), L"い") << "one character a row";
  // A report that ends with its line end has an empty last row, where the
  // next line will start.
  const std::wstring ended = L"ab\r\n";
  layout.Reset(ended, 6, cells.widths);
  EXPECT_EQ(Rows(ended, layout), (std::vector<std::wstring>{L"ab", L""}));
}

TEST(ReportLayout, AppendingLaysOutOnlyTheOpenLineAgainAndGivesTheSameRows) {
  Cells cells;
  std::wstring text;
  ReportLayout grown;
  grown.Reset(text, 7, cells.widths);
  for (int i = 0; i < 300; ++i) {
    text += L"× D:\\楽曲 " + std::to_wstring(i) + (i % 3 ? L"\r\n -> " : L" ");
    grown.Extend(text, cells.widths);
  }
  ReportLayout whole;
  whole.Reset(text, 7, cells.widths);
  EXPECT_EQ(Rows(text, grown), Rows(text, whole));
  EXPECT_LT(cells.asked, 40) << "each character is measured once";
}

TEST(ReportLayout, SurrogatePairsStayWholeAndOffsetsFollowTheCells) {
  Cells cells;
  ReportLayout layout;
  const std::wstring text = L"a\U0001F3B5b";
  layout.Reset(text, 2, cells.widths);
  std::vector<std::wstring> rows = Rows(text, layout);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1], L"\U0001F3B5");
  EXPECT_EQ(layout.RowOf(text.size()), 2u);
  EXPECT_EQ(layout.RowOf(1), 1u);

  const std::wstring line = L"aあb";
  ReportLayout one;
  one.Reset(line, 100, cells.widths);
  EXPECT_EQ(OffsetAtX(line, one.Row(0), 0, cells.widths), 0u);
  EXPECT_EQ(OffsetAtX(line, one.Row(0), 1, cells.widths), 1u);
  EXPECT_EQ(OffsetAtX(line, one.Row(0), 2, cells.widths), 2u) << "the right half of あ";
  EXPECT_EQ(OffsetAtX(line, one.Row(0), 50, cells.widths), 3u);
}

}  // namespace
