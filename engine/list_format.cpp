#include "engine/list_format.h"

std::vector<std::wstring> ParseTemplateLines(std::wstring_view text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t cr = text.find(L'\r', start);
    size_t end = cr == std::wstring_view::npos ? text.size() : cr;
    if (end > start) lines.emplace_back(text.substr(start, end - start));
    if (cr == std::wstring_view::npos) break;
    start = cr + 1;
    if (start < text.size() && text[start] == L'\n') ++start;
  }
  return lines;
}

std::wstring FormatTemplateLines(const std::vector<std::wstring>& templates) {
  std::wstring text;
  for (const std::wstring& t : templates) {
    if (t.empty()) continue;
    text += t;
    text += L"\r\n";
  }
  return text;
}

std::vector<std::wstring> DefaultTemplates() { return {L"%A - %T", L"(%A) %T", L"%T"}; }
