#include "engine/folder_walk.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// A made-up tree: each folder's listing as the file system gives it (in no
// particular order), and folders that are links to others.
class FakeTree : public FolderSource {
 public:
  std::map<std::wstring, std::vector<FolderItem>> folders;
  std::map<std::wstring, std::wstring> links;  // path -> the folder it leads to
  int listings = 0;

  std::optional<std::vector<FolderItem>> List(const std::wstring& folder) override {
    ++listings;
    auto it = folders.find(Resolve(folder));
    if (it == folders.end()) return std::nullopt;
    return it->second;
  }
  std::optional<FolderIdentity> Identity(const std::wstring& folder) override {
    std::wstring real = Resolve(folder);
    if (!folders.count(real)) return std::nullopt;
    return FolderIdentity{7, std::hash<std::wstring>{}(real)};
  }

 private:
  std::wstring Resolve(const std::wstring& path) const {
    for (const auto& [link, target] : links)
      if (path.compare(0, link.size(), link) == 0) return target + path.substr(link.size());
    return path;
  }
};

FolderItem File(const wchar_t* name, bool hidden = false) { return {name, false, hidden}; }
FolderItem Folder(const wchar_t* name, bool hidden = false) { return {name, true, hidden}; }

std::vector<std::wstring> Walk(FakeTree& tree, const std::wstring& root) {
  std::vector<std::wstring> files;
  WalkFolder(root, tree, [&](const std::wstring& file) {
    files.push_back(file);
    return true;
  });
  return files;
}

}  // namespace

TEST(ExplorerOrder, CaseIgnoredAndNumbersByValue) {
  std::vector<std::wstring> names{L"track10.mp3",
                                  L"Track2.mp3",
                                  L"track1.mp3",
                                  L"b.mp3",
                                  L"A.mp3",
                                  L"track03.mp3",
                                  L"x99999999999999999999999.mp3",
                                  L"x100000000000000000000000.mp3"};
  std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
    return CompareExplorerNames(a, b) < 0;
  });
  EXPECT_EQ(names,
            (std::vector<std::wstring>{
                L"A.mp3", L"b.mp3", L"track1.mp3", L"Track2.mp3", L"track03.mp3", L"track10.mp3",
                L"x99999999999999999999999.mp3", L"x100000000000000000000000.mp3"}));
  EXPECT_LT(CompareExplorerNames(L"Disc 2", L"disc 10"), 0);
  EXPECT_LT(CompareExplorerNames(L"ＡＢ", L"ａｃ"), 0);  // full-width letters fold too
  EXPECT_EQ(CompareExplorerNames(L"same", L"same"), 0);
  // Equal to Explorer, yet never reported equal: the order is the same every time.
  EXPECT_NE(CompareExplorerNames(L"a1", L"A01"), 0);
  EXPECT_EQ(CompareExplorerNames(L"a1", L"A01"), -CompareExplorerNames(L"A01", L"a1"));
}

TEST(AudioFileNames, TheKnownExtensionsInAnyCase) {
  for (const wchar_t* yes : {L"a.mp1", L"a.MP3", L"b.Rmp", L"c.WAV", L"x.y.mp3", L".mp3", L"d.FLAC",
                             L"e.m4a", L"f.M4B", L"g.ogg", L"h.Oga", L"i.opus"})
    EXPECT_TRUE(IsAudioFileName(yes)) << yes;
  for (const wchar_t* no : {L"a.txt", L"a.mp3x", L"a.mp", L"mp3", L"a.mp4", L"a.mp3.txt", L"",
                            L"a.flacc", L"a.opu", L"a.m4v", L"a.ogv"})
    EXPECT_FALSE(IsAudioFileName(no)) << no;
}

TEST(WalkFolder, FilesFirstThenSubfoldersDepthFirstInExplorerOrder) {
  FakeTree tree;
  tree.folders[L"C:\\M"] = {Folder(L"b10"),     File(L"z.mp3"), Folder(L"b2"),
                            File(L"notes.txt"), File(L"A.MP3"), Folder(L"a")};
  tree.folders[L"C:\\M\\a"] = {File(L"2.wav"), File(L"10.wav"), File(L"1.Mp1")};
  tree.folders[L"C:\\M\\b2"] = {Folder(L"deep"), File(L"x.rmp")};
  tree.folders[L"C:\\M\\b2\\deep"] = {File(L"d.mp3")};
  tree.folders[L"C:\\M\\b10"] = {File(L"y.mp3")};
  EXPECT_EQ(Walk(tree, L"C:\\M"),
            (std::vector<std::wstring>{L"C:\\M\\A.MP3", L"C:\\M\\z.mp3", L"C:\\M\\a\\1.Mp1",
                                       L"C:\\M\\a\\2.wav", L"C:\\M\\a\\10.wav", L"C:\\M\\b2\\x.rmp",
                                       L"C:\\M\\b2\\deep\\d.mp3", L"C:\\M\\b10\\y.mp3"}));
}

TEST(WalkFolder, HiddenEntriesUnlistableFoldersAndADriveRoot) {
  FakeTree tree;
  tree.folders[L"D:\\"] = {File(L"seen.mp3"), File(L"hidden.mp3", true), Folder(L"secret", true),
                           Folder(L"locked"), Folder(L"empty")};
  tree.folders[L"D:\\secret"] = {File(L"never.mp3")};
  tree.folders[L"D:\\empty"] = {};
  // "locked" has no listing: it brings nothing and stops nothing.
  EXPECT_EQ(Walk(tree, L"D:\\"), (std::vector<std::wstring>{L"D:\\seen.mp3"}));
  EXPECT_EQ(Walk(tree, L"D:\\nowhere"), std::vector<std::wstring>{});
}

TEST(WalkFolder, LinksBackIntoTheTreeAreNotFollowedTwice) {
  FakeTree tree;
  tree.folders[L"C:\\M"] = {File(L"a.mp3"), Folder(L"sub")};
  tree.folders[L"C:\\M\\sub"] = {File(L"b.mp3"), Folder(L"loop"), Folder(L"again")};
  tree.links[L"C:\\M\\sub\\loop"] = L"C:\\M";
  tree.links[L"C:\\M\\sub\\again"] = L"C:\\M\\sub";
  EXPECT_EQ(Walk(tree, L"C:\\M"),
            (std::vector<std::wstring>{L"C:\\M\\a.mp3", L"C:\\M\\sub\\b.mp3"}));
  EXPECT_LE(tree.listings, 2);
}

TEST(WalkFolder, StopsWhenAskedByTheCallerOrBetweenFolders) {
  FakeTree tree;
  tree.folders[L"C:\\M"] = {File(L"1.mp3"), File(L"2.mp3"), File(L"3.mp3"), Folder(L"s")};
  tree.folders[L"C:\\M\\s"] = {File(L"4.mp3")};
  std::vector<std::wstring> seen;
  WalkFolder(L"C:\\M", tree, [&](const std::wstring& f) {
    seen.push_back(f);
    return seen.size() < 2;
  });
  EXPECT_EQ(seen.size(), 2u);
  seen.clear();
  int folders = 0;
  WalkFolder(
      L"C:\\M", tree,
      [&](const std::wstring& f) {
        seen.push_back(f);
        return true;
      },
      [&] { return ++folders <= 1; });
  EXPECT_EQ(seen.size(), 3u);  // the subfolder was never started
}

TEST(ChildPath, OneBackslashBetween) {
  EXPECT_EQ(ChildPath(L"C:\\", L"a"), L"C:\\a");
  EXPECT_EQ(ChildPath(L"C:\\M", L"a"), L"C:\\M\\a");
  EXPECT_EQ(ChildPath(L"\\\\server\\share\\", L"a"), L"\\\\server\\share\\a");
}
