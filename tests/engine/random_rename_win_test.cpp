// Rename runs over files whose tags are pieced together at random from what
// could take a file elsewhere (separators, dots, "FP#", placeholders, bytes
// that are no UTF-8 or whose second byte is a backslash in Shift_JIS), under
// random naming choices and templates: after every run and after its undo,
// each file is exactly once inside the tree it came from, with its bytes.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/rename_entry.h"
#include "engine/undo_journal.h"
#include "tests/engine/list_view_host.h"
#include "tests/engine/win_support.h"
#include "tests/support/run_adapters.h"
#include "tests/support/silent_mp3.h"

using engine_test::ListViewHost;
using engine_test::ReadBytes;
using engine_test::ScratchFolder;
using engine_test::WriteBytes;

namespace {

// An ID3v2.4 tag whose text frames say UTF-8 and hold these bytes as they are.
std::string Id3v24(const std::vector<std::pair<const char*, std::string>>& frames) {
  auto syncsafe = [](size_t n) {
    return std::string{static_cast<char>((n >> 21) & 0x7F), static_cast<char>((n >> 14) & 0x7F),
                       static_cast<char>((n >> 7) & 0x7F), static_cast<char>(n & 0x7F)};
  };
  std::string body;
  for (const auto& [id, text] : frames)
    body += std::string(id, 4) + syncsafe(text.size() + 1) + std::string(2, '\0') + "\x03" + text;
  return std::string("ID3\x04\x00\x00", 6) + syncsafe(body.size()) + body;
}

// Where each file under folder is, by its bytes.
std::map<std::string, std::vector<std::wstring>> FilesByBytes(const std::wstring& folder) {
  std::map<std::string, std::vector<std::wstring>> found;
  for (const std::wstring& path : testing_files::FilesUnder(folder))
    found[ReadBytes(path)].push_back(path);
  return found;
}

class RandomRenameTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!engine_test::LibraryReady()) GTEST_SKIP() << "VBMP3.dll not usable";
    GetCurrentDirectoryW(MAX_PATH, before_);
  }
  void TearDown() override { SetCurrentDirectoryW(before_); }

  unsigned Next() { return (state_ = state_ * 1103515245u + 12345u) >> 16; }
  template <typename T, size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Next() % N];
  }
  std::string RandomText() {
    static const char* const pieces[] = {
        "\\", "..\\..\\..\\", "\\..", ".",   "..", "FP#",      " ",     "x",       "Ab", "\x83\x5C",
        "/",  "%T",           "%A",   "CON", "\t", "\xFF\xFE", "\xC3(", "\xE3\x81"};
    std::string text;
    for (unsigned n = Next() % 7; n > 0; --n) text += Pick(pieces);
    return text;
  }

  ListViewHost host;
  ScratchFolder scratch{L"randomrename"};
  wchar_t before_[MAX_PATH] = {};
  unsigned state_ = 2029;
};

}  // namespace

TEST_F(RandomRenameTest, TagsNeverTakeAFileOutOfItsTree) {
  static const wchar_t* const templates[] = {L"%A - %T", L"%A\\%L\\%N %T", L"..\\%L\\%A %T",
                                             L"FP#%A\\%T", L"FP#..\\%L - %T%C"};
  for (int round = 0; round < 16; ++round) {
    SCOPED_TRACE(round);
    const std::wstring root = scratch / (L"r" + std::to_wstring(round));
    const std::wstring album = root + L"\\a\\b";
    CreateDirectoryW(root.c_str(), nullptr);
    CreateDirectoryW((root + L"\\a").c_str(), nullptr);
    CreateDirectoryW(album.c_str(), nullptr);
    // Full-path templates are resolved against the current folder.
    ASSERT_TRUE(SetCurrentDirectoryW(album.c_str()));
    std::map<std::wstring, std::string> sources;
    for (int i = 0; i < 8; ++i) {
      // Files of different lengths, so that each is known by its bytes.
      std::string bytes =
          Id3v24({{"TPE1", RandomText()}, {"TIT2", RandomText()}, {"TALB", RandomText()}}) +
          testing_files::SilentFrames(2 + i) +
          testing_files::Id3v1Tag(RandomText(), RandomText(), RandomText());
      sources[album + L"\\" + std::to_wstring(i) + L".mp3"] = bytes;
    }
    for (const auto& [path, bytes] : sources) WriteBytes(path, bytes);

    Preferences preferences;
    Settings& settings = preferences.settings;
    settings.forbiddenCharacterAction = static_cast<int>(Next() % 3);
    settings.sameNameAction = static_cast<int>(Next() % 2);
    settings.emptyFieldAction = static_cast<int>(Next() % 3);
    settings.preferId3v2 = Next() % 2 == 0;
    settings.defaultTemplate = Pick(templates);
    for (const auto& [path, bytes] : sources) host.list->Append(EntryForPath(path, preferences));
    const std::wstring journalPath = scratch / (L"velnoir" + std::to_wstring(round) + L".jnl");
    JournalFile journal(journalPath);
    RenameRunHooks hooks;
    hooks.policies = RunPoliciesFrom(settings);
    hooks.makeFolders = Next() % 2 == 0;
    RenameReport(host.window, *host.list, journal, hooks);

    auto expectEachOnceInTheTree = [&] {
      const auto found = FilesByBytes(root);
      for (const auto& [path, bytes] : sources) {
        auto it = found.find(bytes);
        EXPECT_TRUE(it != found.end() && it->second.size() == 1)
            << testing::PrintToString(path) << " "
            << testing::PrintToString(settings.defaultTemplate);
      }
      EXPECT_EQ(found.size(), sources.size());
    };
    expectEachOnceInTheTree();
    UndoReport(host.window, journalPath);
    expectEachOnceInTheTree();
    for (const auto& [path, bytes] : sources) EXPECT_EQ(ReadBytes(path), bytes);
    while (host.list->Count() > 0) host.list->Remove(1);
  }
  // Nothing landed beside the trees either.
  size_t files = 0;
  for (const std::wstring& path : testing_files::FilesUnder(scratch.Path()))
    if (path.size() < 4 || path.substr(path.size() - 4) != L".jnl") ++files;
  EXPECT_EQ(files, 16u * 8u);
}
