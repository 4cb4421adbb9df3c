// The template list's file format: one template per line. A line ends at
// CR LF or at a lone CR; a lone LF belongs to the line. Empty lines carry no
// template.
#pragma once
#include <string>
#include <string_view>
#include <vector>

// The non-empty lines of the file's text, in file order (a line of spaces is
// a template). Empty when the text holds no template at all.
std::vector<std::wstring> ParseTemplateLines(std::wstring_view text);

// Every non-empty template followed by CR LF, in list order.
std::wstring FormatTemplateLines(const std::vector<std::wstring>& templates);

// The templates a new list file starts with.
std::vector<std::wstring> DefaultTemplates();

inline constexpr const wchar_t* kListFileName = L"velnoir.lst";
