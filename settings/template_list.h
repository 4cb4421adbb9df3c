// The template list: ordered name templates, index 0 first, kept in
// "velnoir.lst".
#pragma once
#include <string>
#include <vector>

using TemplateList = std::vector<std::wstring>;
