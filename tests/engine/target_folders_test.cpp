#include "engine/target_folders.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::vector<std::wstring> Missing(const std::wstring& target,
                                  const std::set<std::wstring>& existing) {
  return FoldersToCreate(target,
                         [&](const std::wstring& folder) { return existing.count(folder) > 0; });
}

}  // namespace

TEST(FoldersToCreate, OutermostFirstUpToTheFirstThatExists) {
  std::set<std::wstring> existing{L"C:\\Music"};
  EXPECT_EQ(Missing(L"C:\\Music\\Artist\\Album\\01 Song.mp3", existing),
            (std::vector<std::wstring>{L"C:\\Music\\Artist", L"C:\\Music\\Artist\\Album"}));
  EXPECT_EQ(Missing(L"C:\\Music\\Song.mp3", existing), std::vector<std::wstring>{});
  // Nothing above a drive or a share's root is created.
  EXPECT_EQ(Missing(L"Q:\\New\\a.mp3", {}), std::vector<std::wstring>{L"Q:\\New"});
  EXPECT_EQ(Missing(L"\\\\server\\share\\New\\a.mp3", {}),
            std::vector<std::wstring>{L"\\\\server\\share\\New"});
  // A relative target ("FP#%T") has folders relative to the current one.
  EXPECT_EQ(Missing(L"New\\a.mp3", {}), std::vector<std::wstring>{L"New"});
  EXPECT_EQ(Missing(L"a.mp3", {}), std::vector<std::wstring>{});
}

TEST(FoldersToCreate, DoubledBackslashNamesNoExtraFolder) {
  std::vector<std::wstring> folders = Missing(L"C:\\Music\\A\\\\b.mp3", {L"C:\\Music"});
  ASSERT_FALSE(folders.empty());
  for (const std::wstring& folder : folders) EXPECT_NE(folder.back(), L'\\') << folder;
}

TEST(FolderRemovalOrder, DeepestFirstAndEachOnce) {
  EXPECT_EQ(
      FolderRemovalOrder(
          {L"C:\\M\\A", L"C:\\M\\A\\X", L"C:\\M\\B", L"C:\\M\\A\\X\\1", L"C:\\M\\A"}),
      (std::vector<std::wstring>{L"C:\\M\\A\\X\\1", L"C:\\M\\A\\X", L"C:\\M\\A", L"C:\\M\\B"}));
  EXPECT_EQ(FolderRemovalOrder({}), std::vector<std::wstring>{});
}
