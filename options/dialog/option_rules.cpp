#include "options/dialog/option_rules.h"

const wchar_t* const kTemplateLegend =
    L"<置き換え用文字>\r\n"
    L"　%A - ID3 Artist        %T - ID3 Title\r\n"
    L"　%L - ID3 Album　       %Y - ID3 Year\r\n"
    L"　%C - ID3 Comment　     %G - ID3 Genre\r\n"
    L"　%N - ID3 Track         %B - AlbumArtist\r\n"
    L"　%D - Disc              %F - FileName\r\n"
    L"　<%B|%A> - 値のある最初の候補（無ければ省略）\r\n"
    L"※大文字、小文字は区別されます。";

int DisplayColumns(const std::wstring& text) {
  int columns = 0;
  for (wchar_t c : text) {
    // Half-width katakana (U+FF61..U+FF9F) are single-column like ASCII.
    bool narrow = c < 0x0100 || (c >= 0xFF61 && c <= 0xFF9F);
    columns += narrow ? 1 : 2;
  }
  return columns;
}

int PolicySelection(int stored, int itemCount) {
  return stored >= 0 && stored < itemCount ? stored : 0;
}

int DoubleClickSelection(int stored) { return stored == 0 ? 0 : 1; }

bool CanRemoveTemplateEntry(int selectedIndex) { return selectedIndex > 0; }

std::vector<std::wstring> TemplatesFromEntries(const std::vector<std::wstring>& entries) {
  if (entries.size() <= 1) return {};
  return std::vector<std::wstring>(entries.begin() + 1, entries.end());
}
