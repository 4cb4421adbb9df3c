// The template list: ordered name templates, index 0 first, kept in
// "velnoir.lst". Lives for the whole process; changed only on the UI thread.
#pragma once
#include <string>
#include <vector>

extern std::vector<std::wstring> g_templateList;
