#include "app/core/dialog_result.h"

#include <gtest/gtest.h>

#include <set>

using Paths = std::vector<std::wstring>;
using namespace std::string_literals;

TEST(SplitDialogResult, SingleAndMultipleSelections) {
  std::set<std::wstring> files{L"C:\\Music\\a.mp3", L"C:\\Music\\b.mp3", L"C:\\c.mp3"};
  auto exists = [&](const std::wstring& p) { return files.count(p) > 0; };
  EXPECT_EQ(SplitDialogResult(L"C:\\Music\\a.mp3", exists), Paths{L"C:\\Music\\a.mp3"});
  EXPECT_EQ(SplitDialogResult(L"C:\\Music\0b.mp3\0a.mp3\0z.mp3"s, exists),
            (Paths{L"C:\\Music\\b.mp3", L"C:\\Music\\a.mp3", L"C:\\Music\\z.mp3"}));
  // A drive root already ends with its backslash.
  EXPECT_EQ(SplitDialogResult(L"C:\\\0c.mp3\0d.mp3"s, exists), (Paths{L"C:\\c.mp3", L"C:\\d.mp3"}));
}
