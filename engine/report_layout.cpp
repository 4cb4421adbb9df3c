#include "engine/report_layout.h"

#include <algorithm>

#include "engine/code_points.h"

namespace {

int WidthOfRange(const std::wstring& text, size_t from, size_t to, CharacterWidths& widths) {
  int x = 0;
  for (size_t i = from; i < to;) {
    CodePoint cp = CodePointAt(text, i);
    x += widths.Of(cp.value);
    i += cp.length;
  }
  return x;
}

}  // namespace

int CharacterWidths::Of(char32_t c) {
  if (c >= basic_.size()) return measure_(c);
  int16_t& known = basic_[c];
  if (known < 0) known = static_cast<int16_t>(std::clamp(measure_(c), 0, 0x7FFF));
  return known;
}

void ReportLayout::Reset(const std::wstring& text, int width, CharacterWidths& widths) {
  rows_.clear();
  laidOut_ = 0;
  width_ = std::max(width, 1);
  Extend(text, widths);
}

void ReportLayout::Extend(const std::wstring& text, CharacterWidths& widths) {
  // The open line's rows are laid out again with what was appended to it.
  while (!rows_.empty() && rows_.back().start >= laidOut_) rows_.pop_back();
  size_t start = laidOut_;
  for (;;) {
    size_t newline = text.find(L'\n', start);
    if (newline == std::wstring::npos) {
      LayOutLine(text, start, text.size(), widths);
      laidOut_ = start;
      return;
    }
    size_t end = newline > start && text[newline - 1] == L'\r' ? newline - 1 : newline;
    LayOutLine(text, start, end, widths);
    start = newline + 1;
  }
}

void ReportLayout::LayOutLine(const std::wstring& text, size_t start, size_t end,
                              CharacterWidths& widths) {
  size_t rowStart = start;
  size_t afterSpace = std::wstring::npos;  // a break after the row's last space
  int x = 0;
  for (size_t i = start; i < end;) {
    CodePoint cp = CodePointAt(text, i);
    const int w = widths.Of(cp.value);
    if (x + w > width_ && i > rowStart) {
      // Words stay whole where the row has a space to break at, as a
      // word-wrapping text box breaks them.
      size_t cut = afterSpace != std::wstring::npos && afterSpace > rowStart ? afterSpace : i;
      rows_.push_back({rowStart, cut - rowStart});
      rowStart = cut;
      afterSpace = std::wstring::npos;
      x = WidthOfRange(text, cut, i, widths);
    }
    x += w;
    i += cp.length;
    if (cp.value == U' ') afterSpace = i;
  }
  rows_.push_back({rowStart, end - rowStart});
}

size_t ReportLayout::RowOf(size_t offset) const {
  if (rows_.empty()) return 0;
  auto after = std::upper_bound(rows_.begin(), rows_.end(), offset,
                                [](size_t at, const ReportRow& row) { return at < row.start; });
  return after == rows_.begin() ? 0 : static_cast<size_t>(after - rows_.begin()) - 1;
}

size_t OffsetAtX(const std::wstring& text, const ReportRow& row, int x, CharacterWidths& widths) {
  int left = 0;
  const size_t end = row.start + row.length;
  for (size_t i = row.start; i < end;) {
    CodePoint cp = CodePointAt(text, i);
    const int w = widths.Of(cp.value);
    if (x < left + (w + 1) / 2) return i;
    left += w;
    i += cp.length;
  }
  return end;
}
