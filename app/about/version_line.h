// The version line of the about dialog.
#pragma once
#include <string>

// "Version 2.0 β6 (build.0019)": major and minor as they are, the revision
// with at least four digits.
std::wstring VersionLine(int major, int minor, int revision);
