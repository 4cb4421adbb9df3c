// Files whose names the ANSI code page (932) cannot hold: "Café.mp3", Korean,
// an emoji. The library takes ANSI paths, so every call reaches such a file
// through its short (8.3) name; where the volume keeps none, the program says
// so rather than open a look-alike ("Cafe.mp3" is what the code page's best
// fit makes of "Café.mp3").
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <vector>

#include "audio_library/library_path.h"
#include "audio/player/player.h"
#include "audio/player/vbmp3_player_library.h"
#include "audio_library/vbmp3_api.h"
#include "engine/progress_window.h"
#include "engine/rename_entry.h"
#include "engine/rename_run.h"
#include "tests/support/test_files.h"
#include "tests/support/silent_mp3.h"
#include "tests/support/memory_rename_list.h"
#include "tests/support/vbmp3_environment.h"
#include "win/text.h"
#include "win/ui.h"
#include "tests/support/run_adapters.h"

using testing_files::ReadBytes;
using testing_files::ScratchFolder;
using testing_files::WriteBytes;

namespace {

const std::wstring kNames[] = {L"Café.mp3", L"Ünïcødé.mp3", L"노래.mp3", L"emoji \U0001F600.mp3"};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new Vbmp3Environment);

using testing_files::SilentMp3;

class RecordingHost : public PlayerHost {
 public:
  explicit RecordingHost(const RenameList& list) : list_(list) {}
  int EntryCount() const override { return list_.Count(); }
  std::wstring SourcePath(int position) const override { return list_.Get(position).source; }
  int SelectedPosition() const override { return list_.Selected(); }
  bool ContinuousPlay() const override { return false; }
  void SetPlayerStatus(const std::wstring& text) override { status = text; }
  void ShowPlayError(const std::wstring& text) override { messages.push_back(text); }
  void SetPlayerTimer(bool) override {}
  std::wstring status;
  std::vector<std::wstring> messages;

 private:
  const RenameList& list_;
};

class ForeignNamesTest : public LibraryFileTest {
 protected:
  Preferences preferences;
  void SetUp() override {
    LibraryFileTest::SetUp();
    preferences.settings.defaultTemplate = L"%A - %T";
  }
  bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
};

}  // namespace

TEST_F(ForeignNamesTest, TheLibraryPathOpensTheFileItselfAndPlainNamesStayAsTheyAre) {
  for (const std::wstring& name : kNames) {
    SCOPED_TRACE(win::ToUtf8(name));
    std::wstring path = File(name, "the file itself");
    File(L"Cafe.mp3", "a look-alike");
    std::optional<std::string> ansi = LibraryPath(path);
    ASSERT_TRUE(ansi.has_value());
    EXPECT_EQ(win::FromAnsi(*ansi).find(L'?'), std::wstring::npos);
    // What the library does with the path: widen it again and open it.
    EXPECT_EQ(ReadBytes(win::FromAnsi(*ansi)), "the file itself");
  }
  std::wstring plain = File(L"曲 ソ表.mp3", "x");
  EXPECT_EQ(LibraryPath(plain), win::ToAnsi(plain));
}

TEST_F(ForeignNamesTest, WithoutShortNamesAFileIsUnreachableAndAMissingOneStaysMissing) {
  std::wstring path = File(L"Café.mp3", SilentMp3(10, "Mine", "A"));
  std::wstring lookAlike = File(L"Cafe.mp3", SilentMp3(10, "LookAlike", "B"));
  win::Seam<decltype(&GetShortPathNameW)>::Replacement noShortNames(g_getShortPathName,
                                                                    &NoShortName);
  EXPECT_FALSE(LibraryPath(path).has_value());
  EXPECT_EQ(UnreachablePathMessage(path).rfind(path + L"\r\n", 0), 0u);

  // A missing file gets a path that names nothing, never the look-alike.
  DeleteFileW(path.c_str());
  std::optional<std::string> missing = LibraryPath(path);
  ASSERT_TRUE(missing.has_value());
  TagRecord tag{};
  StreamInfoRecord info{};
  EXPECT_FALSE(Vbmp3Succeeded(g_vbmp3->getFileInfo(missing->c_str(), &tag, &info)));
  EXPECT_EQ(win::ReadAnsiField(tag.Title, sizeof(tag.Title)), L"");
  EXPECT_TRUE(Exists(lookAlike));
}

TEST_F(ForeignNamesTest, ThePlayerPlaysThemThroughTheLibrary) {
  if (waveOutGetNumDevs() == 0) GTEST_SKIP() << "no audio output device";
  MemoryRenameList list;
  for (const std::wstring& name : kNames)
    list.entries.push_back({File(name, SilentMp3(80, "Quiet", "Artist")), L"", name, L""});
  Vbmp3PlayerLibrary library;
  RecordingHost host(list);
  Player player(library, host);
  for (int position = 1; position <= list.Count(); ++position) {
    SCOPED_TRACE(win::ToUtf8(list.entries[position - 1].sourceName));
    list.selected = position;
    player.Play();
    EXPECT_TRUE(host.messages.empty())
        << (host.messages.empty() ? "" : win::ToUtf8(host.messages[0]));
    int32_t seconds = 0;
    EXPECT_EQ(library.GetState(seconds), 1);
    EXPECT_EQ(player.PlayTitle, L"Quiet");
    EXPECT_EQ(player.PlayTotalSeconds, 2);
    host.messages.clear();
  }
  player.Stop();
}

TEST_F(ForeignNamesTest, ThePlayerNamesAFileItCannotReachAndPlaysNoLookAlike) {
  MemoryRenameList list;
  std::wstring path = File(L"Café.mp3", SilentMp3(80, "Mine", "A"));
  File(L"Cafe.mp3", SilentMp3(80, "LookAlike", "B"));
  list.entries.push_back({path, L"", L"Café.mp3", L""});
  list.selected = 1;
  win::Seam<decltype(&GetShortPathNameW)>::Replacement noShortNames(g_getShortPathName,
                                                                    &NoShortName);
  Vbmp3PlayerLibrary library;
  RecordingHost host(list);
  Player player(library, host);
  player.Play();
  EXPECT_EQ(host.messages, std::vector<std::wstring>{UnreachablePathMessage(path)});
  int32_t seconds = 0;
  EXPECT_EQ(library.GetState(seconds), 0);
  EXPECT_EQ(player.PlayTitle, L"");
  EXPECT_EQ(host.status, L"停止");
}

TEST_F(ForeignNamesTest, TheRenameRunRenamesThemAfterTheirTags) {
  MemoryRenameList list;
  std::vector<std::wstring> sources;
  for (size_t i = 0; i < std::size(kNames); ++i) {
    std::string title = "Title" + std::to_string(i);
    sources.push_back(File(kNames[i], SilentMp3(4, title, "Artist")));
    list.Append(EntryForPath(sources.back(), preferences));
    ASSERT_EQ(list.entries.back().target,
              *folder_ / (L"Artist - " + win::FromAnsi(title) + L".mp3"))
        << win::ToUtf8(kNames[i]);
  }
  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
  RunRenameWith(owner, list, ExecRenameFile, [](ProgressWindow&) {});
  DestroyWindow(owner);
  EXPECT_TRUE(list.entries.empty());
  for (size_t i = 0; i < sources.size(); ++i) {
    EXPECT_FALSE(Exists(sources[i])) << win::ToUtf8(kNames[i]);
    std::wstring target = *folder_ / (L"Artist - Title" + std::to_wstring(i) + L".mp3");
    EXPECT_EQ(ReadBytes(target), SilentMp3(4, "Title" + std::to_string(i), "Artist"));
  }
}

// With no short names the entry gets no target rather than one built from a
// look-alike's tag; the run then reports it and renames nothing.
TEST_F(ForeignNamesTest, WithoutAShortNameTheEntryHasNoTargetAndTheRunLeavesBothFiles) {
  std::wstring path = File(L"Café.mp3", SilentMp3(4, "Mine", "A"));
  std::wstring lookAlike = File(L"Cafe.mp3", SilentMp3(4, "LookAlike", "B"));
  win::Seam<decltype(&GetShortPathNameW)>::Replacement noShortNames(g_getShortPathName,
                                                                    &NoShortName);
  MemoryRenameList list;
  list.Append(EntryForPath(path, preferences));
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.entries[0].target, L"");
  std::wstring report;
  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
  RunRenameWith(owner, list, ExecRenameFile,
                [&](ProgressWindow& w) { report = win::GetText(w.Report()); });
  DestroyWindow(owner);
  EXPECT_EQ(report.rfind(L"× " + path + L"\r\n -> " + kNoTargetText, 0), 0u) << win::ToUtf8(report);
  EXPECT_TRUE(Exists(path));
  EXPECT_TRUE(Exists(lookAlike));
  EXPECT_FALSE(Exists(*folder_ / L"B - LookAlike.mp3"));
}
