// ExecRenameFile against the real file system.
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/rename_entry.h"
#include "tests/engine/win_support.h"
#include "win/whole_file.h"

using engine_test::Exists;
using engine_test::ReadBytes;
using engine_test::ScratchFolder;
using engine_test::WriteBytes;

class ExecRenameFileTest : public testing::Test {
 protected:
  ScratchFolder dir;
  std::wstring Make(const std::wstring& name, const std::string& content = "x") {
    std::wstring path = dir / name;
    WriteBytes(path, content);
    return path;
  }
};

TEST_F(ExecRenameFileTest, RenamesAndReturnsTheTarget) {
  std::wstring a = Make(L"a.mp3", "content");
  std::wstring b = dir / L"ACDC - Back.mp3";
  EXPECT_EQ(ExecRenameFile(a, b).text, b);
  EXPECT_FALSE(Exists(a));
  EXPECT_EQ(ReadBytes(b), "content");
}

TEST_F(ExecRenameFileTest, MovesIntoAnotherFolder) {
  std::wstring a = Make(L"a.mp3", "moved");
  std::wstring sub = dir / L"表ソ";
  ASSERT_TRUE(CreateDirectoryW(sub.c_str(), nullptr));
  std::wstring b = sub + L"\\ソ.mp3";
  EXPECT_EQ(ExecRenameFile(a, b).text, b);
  EXPECT_EQ(ReadBytes(b), "moved");
}

TEST_F(ExecRenameFileTest, MissingOrHiddenSourceOrDirectory) {
  std::wstring target = dir / L"t.mp3";
  EXPECT_EQ(ExecRenameFile(dir / L"missing.mp3", target).text, L"入力ファイルが存在しません。");
  EXPECT_EQ(ExecRenameFile(L"", target).text, L"入力ファイルが存在しません。");
  std::wstring hidden = Make(L"hidden.mp3");
  SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(ExecRenameFile(hidden, target).text, L"入力ファイルが存在しません。");
  std::wstring folder = dir / L"folder";
  CreateDirectoryW(folder.c_str(), nullptr);
  EXPECT_EQ(ExecRenameFile(folder, target).text, L"入力ファイルが存在しません。");
  EXPECT_TRUE(Exists(folder));
  EXPECT_FALSE(Exists(target));
}

TEST_F(ExecRenameFileTest, EmptyTarget) {
  std::wstring a = Make(L"a.mp3");
  EXPECT_EQ(ExecRenameFile(a, L"").text, L"リネーム後ファイル名がありません。");
  EXPECT_TRUE(Exists(a));
}

TEST_F(ExecRenameFileTest, ExistingTargetIsNeverReplaced) {
  std::wstring a = Make(L"a.mp3", "A");
  std::wstring b = Make(L"b.mp3", "B");
  EXPECT_EQ(ExecRenameFile(a, b).text, L"ファイル名が重複しています。");
  // A wildcard target is a duplicate when any normal file matches.
  EXPECT_EQ(ExecRenameFile(a, dir / L"?.mp3").text, L"ファイル名が重複しています。");
  EXPECT_EQ(ReadBytes(a), "A");
  EXPECT_EQ(ReadBytes(b), "B");
}

// A change of letter case is a rename of the file itself; a name that
// another file holds in another case is taken.
TEST_F(ExecRenameFileTest, ACaseOnlyChangeRenamesTheFileItself) {
  std::wstring a = Make(L"abc.mp3", "A");
  RenameOutcome outcome = ExecRenameFile(a, dir / L"ABC.mp3");
  EXPECT_TRUE(outcome.renamed) << testing::PrintToString(outcome.text);
  EXPECT_EQ(engine_test::NameOnDisk(dir / L"abc.mp3"), L"ABC.mp3");
  EXPECT_EQ(ReadBytes(dir / L"ABC.mp3"), "A");
  std::wstring b = Make(L"b.mp3", "B");
  EXPECT_EQ(ExecRenameFile(dir / L"ABC.mp3", dir / L"B.MP3").text, L"ファイル名が重複しています。");
  EXPECT_EQ(ReadBytes(b), "B");
  EXPECT_EQ(engine_test::NameOnDisk(b), L"b.mp3");
}

// A target Windows cannot hold (the name builder left it whole where its
// folder had no room) is refused before anything moves.
TEST_F(ExecRenameFileTest, APathTooLongIsRefused) {
  std::wstring a = Make(L"a.mp3", "A");
  std::wstring longer = dir / (std::wstring(300 - dir.Path().size(), L'x') + L".mp3");
  EXPECT_EQ(ExecRenameFile(a, longer).text, L"リネーム後のパスが長すぎます。");
  EXPECT_EQ(ReadBytes(a), "A");
  EXPECT_FALSE(Exists(longer));
}

TEST_F(ExecRenameFileTest, TargetThatTheLookupCannotSeeIsStillNotReplaced) {
  // A hidden file passes the existence check, as one created between the
  // check and the rename would: the rename itself must refuse.
  std::wstring a = Make(L"a.mp3", "A");
  std::wstring b = Make(L"b.mp3", "hidden");
  SetFileAttributesW(b.c_str(), FILE_ATTRIBUTE_HIDDEN);
  std::wstring result = ExecRenameFile(a, b).text;
  EXPECT_EQ(result.rfind(L"リネームエラー：", 0), 0u) << engine_test::ReadBytes(b);
  EXPECT_GT(result.size(), std::wstring(L"リネームエラー：").size());
  EXPECT_EQ(ReadBytes(a), "A");
  EXPECT_EQ(ReadBytes(b), "hidden");
}

TEST_F(ExecRenameFileTest, TargetEqualToSourceIsAttempted) {
  std::wstring a = Make(L"a.mp3", "A");
  EXPECT_EQ(ExecRenameFile(a, a).text, a);
  EXPECT_EQ(ReadBytes(a), "A");
}

TEST_F(ExecRenameFileTest, MissingTargetFolderGivesThePlatformText) {
  std::wstring a = Make(L"a.mp3");
  std::wstring result = ExecRenameFile(a, dir / L"no such folder\\b.mp3").text;
  EXPECT_EQ(result, L"リネームエラー：" + win::SystemErrorText(ERROR_PATH_NOT_FOUND));
  EXPECT_NE(win::SystemErrorText(ERROR_PATH_NOT_FOUND).back(), L'\n');
  EXPECT_TRUE(Exists(a));
}

TEST_F(ExecRenameFileTest, TargetEqualToAFolderFails) {
  std::wstring a = Make(L"a.mp3", "A");
  std::wstring folder = dir / L"folder";
  CreateDirectoryW(folder.c_str(), nullptr);
  std::wstring result = ExecRenameFile(a, folder).text;
  EXPECT_EQ(result.rfind(L"リネームエラー：", 0), 0u);
  EXPECT_EQ(ReadBytes(a), "A");
}

TEST_F(ExecRenameFileTest, TwoEntriesWithOneTarget) {
  std::wstring a = Make(L"a.mp3", "A");
  std::wstring b = Make(L"b.mp3", "B");
  std::wstring t = dir / L"t.mp3";
  EXPECT_EQ(ExecRenameFile(a, t).text, t);
  EXPECT_EQ(ExecRenameFile(b, t).text, L"ファイル名が重複しています。");
  EXPECT_EQ(ReadBytes(t), "A");
  EXPECT_EQ(ReadBytes(b), "B");
}

TEST_F(ExecRenameFileTest, SameFileListedTwice) {
  std::wstring a = Make(L"a.mp3", "A");
  std::wstring t = dir / L"t.mp3";
  EXPECT_EQ(ExecRenameFile(a, t).text, t);
  EXPECT_EQ(ExecRenameFile(a, t).text, L"入力ファイルが存在しません。");
}

TEST_F(ExecRenameFileTest, NamesOutsideTheAnsiCodePage) {
  std::wstring a = Make(L"한글 ä.mp3", "K");
  std::wstring t = dir / L"Ω 한.mp3";
  EXPECT_EQ(ExecRenameFile(a, t).text, t);
  EXPECT_EQ(ReadBytes(t), "K");
}

TEST_F(ExecRenameFileTest, TheOutcomeTellsSuccessApart) {
  std::wstring a = Make(L"a.mp3");
  RenameOutcome failed = ExecRenameFile(dir / L"none.mp3", dir / L"x.mp3");
  EXPECT_FALSE(failed.renamed);
  RenameOutcome done = ExecRenameFile(a, dir / L"x.mp3");
  EXPECT_TRUE(done.renamed);
  EXPECT_EQ(done.text, dir / L"x.mp3");
}
