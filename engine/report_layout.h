// The rows a long report is shown in: its lines (ended by CR LF) broken to
// a width as a word-wrapping text box breaks them. A run's report grows by
// tens of thousands of lines; only the end of the text is laid out again
// when more is appended, so a report costs time in proportion to its
// length once, not at every append.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The width of each character in pixels, asked once per character and then
// remembered (a report repeats the same few hundred characters).
class CharacterWidths {
 public:
  // measure gives the width of one code point.
  explicit CharacterWidths(std::function<int(char32_t)> measure) : measure_(std::move(measure)) {}
  int Of(char32_t c);

 private:
  std::function<int(char32_t)> measure_;
  std::vector<int16_t> basic_ = std::vector<int16_t>(0x10000, -1);
};

// One shown row: text[start, start + length) without its line end.
struct ReportRow {
  size_t start = 0;
  size_t length = 0;
};

class ReportLayout {
 public:
  // Lays out text from scratch for a row width in pixels (at least one
  // character goes on every row, however narrow).
  void Reset(const std::wstring& text, int width, CharacterWidths& widths);
  // text has grown at its end since the last call: lays out again from
  // the start of the line that was still open.
  void Extend(const std::wstring& text, CharacterWidths& widths);

  size_t RowCount() const { return rows_.size(); }
  const ReportRow& Row(size_t index) const { return rows_[index]; }
  // The row that holds the character at offset (the last row past the end).
  size_t RowOf(size_t offset) const;
  int Width() const { return width_; }

 private:
  void LayOutLine(const std::wstring& text, size_t start, size_t end, CharacterWidths& widths);

  std::vector<ReportRow> rows_;
  size_t laidOut_ = 0;  // where the open (last) line starts
  int width_ = 1;
};

// The character offset within row whose cell holds x (its left half gives
// its own offset, its right half the next one).
size_t OffsetAtX(const std::wstring& text, const ReportRow& row, int x, CharacterWidths& widths);
