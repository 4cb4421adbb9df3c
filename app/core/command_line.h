// Splitting the program's command line into the paths of files to add.
#pragma once
#include <functional>
#include <string>
#include <vector>

// Splits at every single space; a token starting with a double quote opens a
// path that runs until a token ending with one (the quotes are dropped).
// betweenJoins runs between two tokens joined into one quoted path, so the
// caller can let window messages through on a long line.
std::vector<std::wstring> SplitCommandLine(const std::wstring& commandLine,
                                           const std::function<void()>& betweenJoins = {});

// The arguments part of a full process command line (as GetCommandLineW
// gives it): the program's own name and the blanks after it are dropped.
std::wstring ArgumentsOf(const std::wstring& fullCommandLine);
