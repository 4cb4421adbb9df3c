#include "app/core/command_line.h"

namespace {

std::vector<std::wstring> SplitAtSpaces(const std::wstring& text) {
  std::vector<std::wstring> tokens;
  size_t start = 0;
  for (;;) {
    size_t space = text.find(L' ', start);
    if (space == std::wstring::npos) {
      tokens.push_back(text.substr(start));
      return tokens;
    }
    tokens.push_back(text.substr(start, space - start));
    start = space + 1;
  }
}

bool EndsWithQuote(const std::wstring& token) { return !token.empty() && token.back() == L'"'; }

}  // namespace

std::vector<std::wstring> SplitCommandLine(const std::wstring& commandLine,
                                           const std::function<void()>& betweenJoins) {
  std::vector<std::wstring> paths;
  if (commandLine.empty()) return paths;
  std::vector<std::wstring> tokens = SplitAtSpaces(commandLine);
  for (size_t i = 0; i < tokens.size(); ++i) {
    const std::wstring& token = tokens[i];
    if (token.empty() || token.front() != L'"') {
      paths.push_back(token);
      continue;
    }
    std::wstring path = token.substr(1);
    // A lone '"' opens a path and cannot also close it.
    bool closed = token.size() > 1 && EndsWithQuote(token);
    while (!closed && i + 1 < tokens.size()) {
      if (betweenJoins) betweenJoins();
      ++i;
      path += L' ';
      path += tokens[i];
      closed = EndsWithQuote(tokens[i]);
    }
    if (closed) path.pop_back();
    paths.push_back(path);
  }
  return paths;
}

std::wstring ArgumentsOf(const std::wstring& fullCommandLine) {
  size_t i = 0;
  const size_t n = fullCommandLine.size();
  if (i < n && fullCommandLine[i] == L'"') {
    size_t close = fullCommandLine.find(L'"', 1);
    i = close == std::wstring::npos ? n : close + 1;
  } else {
    while (i < n && fullCommandLine[i] != L' ' && fullCommandLine[i] != L'\t') ++i;
  }
  while (i < n && (fullCommandLine[i] == L' ' || fullCommandLine[i] == L'\t')) ++i;
  return fullCommandLine.substr(i);
}
