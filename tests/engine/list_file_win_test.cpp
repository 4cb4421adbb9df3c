// The list file's bytes on disk and its load and save rules.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "engine/list_file.h"
#include "tests/engine/win_support.h"
#include "win/text.h"
#include "win/whole_file.h"

using engine_test::ReadBytes;
using engine_test::ScratchFolder;
using engine_test::WriteBytes;
using Lines = std::vector<std::wstring>;

namespace {
const std::string kDefaultBytes =
    "\x25\x41\x20\x2D\x20\x25\x54\x0D\x0A"
    "\x28\x25\x41\x29\x20\x25\x54\x0D\x0A"
    "\x25\x54\x0D\x0A";
}

class ListFileTest : public testing::Test {
 protected:
  ScratchFolder dir;
  std::wstring path = dir / L"velnoir.lst";
  int announced = 0;
  ListFile file{path};
  TemplateList templates;
  void Load() {
    file.Load(templates, [this] { ++announced; });
  }
};

TEST_F(ListFileTest, MissingFileIsCreatedWithTheDefaultsByteForByte) {
  templates = {L"stale"};
  Load();
  EXPECT_EQ(announced, 1);
  EXPECT_EQ(templates, (Lines{L"%A - %T", L"(%A) %T", L"%T"}));
  EXPECT_EQ(ReadBytes(path), kDefaultBytes);
  Load();  // the second start finds it
  EXPECT_EQ(announced, 1);
}

TEST_F(ListFileTest, FileOfEmptyLinesIsTreatedAsMissing) {
  WriteBytes(path, "\r\n\r\n\r");
  Load();
  EXPECT_EQ(announced, 1);
  EXPECT_EQ(ReadBytes(path), kDefaultBytes);
}

TEST_F(ListFileTest, HiddenFileCountsAsMissing) {
  WriteBytes(path, "%T\r\n");
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
  // Windows refuses to rewrite a hidden file (the error reaches the caller);
  // Wine rewrites it with the defaults.
  bool threw = false;
  try {
    Load();
  } catch (const AppError&) {
    threw = true;
  }
  EXPECT_EQ(announced, 1);
  if (!threw) {
    EXPECT_EQ(ReadBytes(path), kDefaultBytes);
  }
}

TEST_F(ListFileTest, LineRulesOnLoadAndCleanRewriteOnSave) {
  std::string bytes = "\r\n%A - %T\r\n\r\n" + win::ToAnsi(L"表ソ %A") + "\rx\ny\r\n  \r\nlast";
  WriteBytes(path, bytes);
  Load();
  EXPECT_EQ(announced, 0);
  EXPECT_EQ(templates, (Lines{L"%A - %T", L"表ソ %A", L"x\ny", L"  ", L"last"}));
  file.Save(templates);
  EXPECT_EQ(ReadBytes(path),
            "%A - %T\r\n" + win::ToAnsi(L"表ソ %A") + "\r\nx\ny\r\n  \r\nlast\r\n");
}

TEST_F(ListFileTest, EmptyTemplatesAreNotWritten) {
  Load();
  templates = {L"", L"a", L""};
  file.Save(templates);
  EXPECT_EQ(ReadBytes(path), "a\r\n");
  templates = {L"", L""};
  file.Save(templates);
  EXPECT_EQ(ReadBytes(path), "");
  announced = 0;
  Load();
  EXPECT_EQ(announced, 1);
}

TEST_F(ListFileTest, UnreadableFileIsNeverOverwritten) {
  WriteBytes(path, "%A\r\n%T\r\nmine\r\n");
  templates = {L"stale"};
  // Another program holds the file open without sharing it.
  HANDLE lock = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  try {
    Load();
    ADD_FAILURE() << "a file another program holds was read";
  } catch (const AppError& error) {
    // What the user reads: Japanese, the file, the system's reason.
    EXPECT_EQ(error.Description(), L"リストファイルを読み込めません。\r\n" + path + L"\r\n" +
                                       win::SystemErrorText(ERROR_SHARING_VIOLATION));
  }
  CloseHandle(lock);
  EXPECT_TRUE(file.LoadFailed());
  EXPECT_EQ(announced, 0);
  templates = {L"partial"};
  file.Save(templates);
  EXPECT_EQ(ReadBytes(path), "%A\r\n%T\r\nmine\r\n");
  // A later successful load lifts the guard.
  Load();
  EXPECT_FALSE(file.LoadFailed());
  EXPECT_EQ(templates, (Lines{L"%A", L"%T", L"mine"}));
  templates.push_back(L"new");
  file.Save(templates);
  EXPECT_EQ(ReadBytes(path), "%A\r\n%T\r\nmine\r\nnew\r\n");
}

TEST(ListFile, LivesBesideTheProgram) {
  std::wstring path = ListFile::PathIn();
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring folder(exe);
  folder.resize(folder.find_last_of(L'\\') + 1);
  EXPECT_EQ(path, folder + L"velnoir.lst");
}

TEST(ListFile, FirstStartShowsTheMessageOnce) {
  // The real file beside the test exe; kept aside and put back afterwards.
  std::wstring path = ListFile::PathIn();
  std::wstring saved = path + L".saved";
  bool had = MoveFileExW(path.c_str(), saved.c_str(), MOVEFILE_REPLACE_EXISTING);
  std::atomic<int> boxes{0};
  std::wstring text;
  std::atomic<bool> done{false};
  std::thread closer([&] {
    while (!done) {
      HWND box = FindWindowW(L"#32770", L"ぽめろ 初期設定");
      if (box) {
        HWND label = GetDlgItem(box, 0xFFFF);
        wchar_t buffer[512] = {};
        if (label) GetWindowTextW(label, buffer, 512);
        text = buffer;
        ++boxes;
        SendMessageW(box, WM_COMMAND, IDOK, 0);
        Sleep(200);
      }
      Sleep(20);
    }
  });
  ListFile beside(path);
  TemplateList loaded;
  LoadListFile(nullptr, beside, loaded);
  done = true;
  closer.join();
  EXPECT_EQ(boxes, 1);
  EXPECT_EQ(text,
            L"リストファイルの内容が異常か、またはリストファイルがありません。\r\n"
            L"新しいリストファイルを作成します。");
  EXPECT_EQ(ReadBytes(path), kDefaultBytes);
  DeleteFileW(path.c_str());
  if (had) MoveFileExW(saved.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// A list file that cannot be written (here a folder stands in its place)
// says so in Japanese, names the file, and says the edits are lost.
TEST_F(ListFileTest, UnwritableFileIsNamedAndTheLossSaid) {
  ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
  templates = {L"edited"};
  try {
    file.Save(templates);
    ADD_FAILURE() << "a folder was written as the list file";
  } catch (const AppError& error) {
    const std::wstring& text = error.Description();
    EXPECT_EQ(
        text.rfind(
            L"リストファイルを保存できないため、テンプレートの変更は保存されませんでした。\r\n" +
                path + L"\r\n",
            0),
        0u)
        << win::ToAnsi(text);
    EXPECT_EQ(text.substr(text.rfind(L"\r\n") + 2), win::SystemErrorText(error.Number()));
  }
  RemoveDirectoryW(path.c_str());
}
