// BuildRenameName and EntryForPath with tags read through VBMP3.dll.
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/name_builder.h"
#include "engine/rename_entry.h"
#include "tests/engine/win_support.h"
#include "win/text.h"

using engine_test::ScratchFolder;
using engine_test::TaggedMp3;
using engine_test::WriteBytes;

class AddEntryTest : public testing::Test {
 protected:
  Preferences preferences;
  void SetUp() override {
    if (!engine_test::LibraryReady()) GTEST_SKIP() << "VBMP3.dll not usable";
    preferences.settings.defaultTemplate = L"%A - %T";
    preferences.templates = {L"(%A) %T", L"%T", L"%L %Y %C %G"};
  }
  ScratchFolder dir;
};

TEST_F(AddEntryTest, BuildsFromTheTagWithEachTemplateChoice) {
  std::wstring path = dir / L"track01.mp3";
  WriteBytes(path, TaggedMp3("Back", "AC/DC", "Album", "1980", "", 17));
  EXPECT_EQ(BuildRenameName(preferences, path, L"", -1), dir / L"ACDC - Back.mp3");
  EXPECT_EQ(BuildRenameName(preferences, path, L"", 0), dir / L"(ACDC) Back.mp3");
  EXPECT_EQ(BuildRenameName(preferences, path, L"", 1), dir / L"Back.mp3");
  EXPECT_EQ(BuildRenameName(preferences, path, L"%T!", 0), dir / L"Back!.mp3");
  // An index past the list names no template.
  EXPECT_EQ(BuildRenameName(preferences, path, L"", 3), L"");
  preferences.settings.defaultTemplate = L"";
  EXPECT_EQ(BuildRenameName(preferences, path, L"", -5), dir / L"ACDC - Back.mp3");
}

TEST_F(AddEntryTest, JapaneseTagsAndFolders) {
  std::wstring sub = dir / L"表ソ";
  CreateDirectoryW(sub.c_str(), nullptr);
  std::wstring path = sub + L"\\ソ.mp3";
  WriteBytes(path, TaggedMp3(win::ToAnsi(L"表題"), win::ToAnsi(L"ポメロ")));
  EXPECT_EQ(BuildRenameName(preferences, path, L"", -1), sub + L"\\ポメロ - 表題.mp3");
}

TEST_F(AddEntryTest, UnreadableTagGivesAnEmptyTarget) {
  std::wstring path = dir / L"not audio.mp3";
  WriteBytes(path, std::string(2000, 'z'));
  EXPECT_EQ(BuildRenameName(preferences, path, L"", -1), L"");
  EXPECT_EQ(BuildRenameName(preferences, dir / L"missing.mp3", L"%T", 0), L"");
}

// A full-path template is resolved when the entry is made, against the
// current folder: the list holds the full path the file will get. A value's
// "FP#" and backslash are text.
TEST_F(AddEntryTest, AFullPathTemplateIsResolvedAgainstTheCurrentFolder) {
  std::wstring path = dir / L"track01.mp3";
  WriteBytes(path, TaggedMp3("Back", "FP#..\\x"));
  const std::wstring sub = dir / L"sub";
  CreateDirectoryW(sub.c_str(), nullptr);
  wchar_t before[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, before);
  ASSERT_TRUE(SetCurrentDirectoryW(sub.c_str()));
  EXPECT_EQ(BuildRenameName(preferences, path, L"FP#..\\%T", 0), dir / L"Back.mp3");
  EXPECT_EQ(BuildRenameName(preferences, path, L"", -1), dir / L"FP#..x - Back.mp3");
  SetCurrentDirectoryW(before);
}

TEST_F(AddEntryTest, NameOutsideTheAnsiCodePageStillGetsItsTag) {
  std::wstring path = dir / L"한글.mp3";
  WriteBytes(path, TaggedMp3("Title", "Artist"));
  EXPECT_EQ(BuildRenameName(preferences, path, L"", -1), dir / L"Artist - Title.mp3");
}

TEST_F(AddEntryTest, EntryForPathFillsAllFourColumns) {
  std::wstring a = dir / L"a.mp3";
  WriteBytes(a, TaggedMp3("Back", "AC/DC"));
  std::wstring junk = dir / L"junk.mp3";
  WriteBytes(junk, "junk");
  RenameEntry first = EntryForPath(a, preferences);
  EXPECT_EQ(first.source, a);
  EXPECT_EQ(first.target, dir / L"ACDC - Back.mp3");
  EXPECT_EQ(first.sourceName, L"a.mp3");
  EXPECT_EQ(first.targetName, L"ACDC - Back.mp3");
  RenameEntry third = EntryForPath(junk, preferences);
  EXPECT_EQ(third.target, L"");
  EXPECT_EQ(third.targetName, L"");
  EXPECT_EQ(third.sourceName, L"junk.mp3");
}

namespace {

// An ID3v2.3 tag with UTF-16 title and artist frames, as today's taggers
// write them.
std::string Id3v23(const std::wstring& title, const std::wstring& artist) {
  auto frame = [](const char* id, const std::wstring& text) {
    std::string body = "\x01\xFF\xFE";
    for (wchar_t c : text) body += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    uint32_t n = static_cast<uint32_t>(body.size());
    return std::string(id, 4) +
           std::string{static_cast<char>(n >> 24), static_cast<char>(n >> 16),
                       static_cast<char>(n >> 8), static_cast<char>(n)} +
           std::string(2, '\0') + body;
  };
  std::string frames = frame("TIT2", title) + frame("TPE1", artist);
  uint32_t n = static_cast<uint32_t>(frames.size());
  return std::string("ID3\x03\x00\x00", 6) +
         std::string{static_cast<char>((n >> 21) & 0x7F), static_cast<char>((n >> 14) & 0x7F),
                     static_cast<char>((n >> 7) & 0x7F), static_cast<char>(n & 0x7F)} +
         frames;
}

}  // namespace

// Files tagged by today's taggers carry only an ID3v2 tag: they get names
// from it. With the preference on, its UTF-8 texts win over the ID3v1 tag and
// keep characters the ANSI code page cannot hold; off, a file with both tags
// keeps its ID3v1 name.
TEST_F(AddEntryTest, NamesFromID3v2TagsOffAndOn) {
  std::string audioWithV1 = TaggedMp3("V1 Title", "V1 Artist", "", "", "", 255);
  std::string audioOnly = audioWithV1.substr(0, audioWithV1.size() - 128);
  std::wstring onlyV2 = dir / L"only.mp3", both = dir / L"both.mp3";
  WriteBytes(onlyV2, Id3v23(L"Song", L"Band") + audioOnly);
  WriteBytes(both, Id3v23(L"노래", L"Café") + audioWithV1);
  preferences.settings.preferId3v2 = false;
  EXPECT_EQ(BuildRenameName(preferences, onlyV2, L"", -1), dir / L"Band - Song.mp3");
  EXPECT_EQ(BuildRenameName(preferences, both, L"", -1), dir / L"V1 Artist - V1 Title.mp3");
  preferences.settings.preferId3v2 = true;
  EXPECT_EQ(BuildRenameName(preferences, onlyV2, L"", -1), dir / L"Band - Song.mp3");
  EXPECT_EQ(BuildRenameName(preferences, both, L"", -1), dir / L"Café - 노래.mp3");
  preferences.settings.preferId3v2 = false;
}

// The list takes its targets under the settings' naming choices, and a
// number no list has is applied as the first item without being changed.
TEST_F(AddEntryTest, TargetsFollowTheNamingChoicesOfTheSettings) {
  std::wstring path = dir / L"track01.mp3";
  WriteBytes(path, TaggedMp3("Con", "AC/DC"));
  std::wstring noArtist = dir / L"track02.mp3";
  WriteBytes(noArtist, TaggedMp3("Re:Zero", ""));
  preferences.settings.forbiddenCharacterAction = 1;
  EXPECT_EQ(BuildRenameName(preferences, path, L"", -1), dir / L"AC／DC - Con.mp3");
  EXPECT_EQ(BuildRenameName(preferences, noArtist, L"", -1), dir / L"ArtistName - Re：Zero.mp3");
  preferences.settings.forbiddenCharacterAction = 2;
  preferences.settings.emptyFieldAction = 1;
  EXPECT_EQ(BuildRenameName(preferences, noArtist, L"", -1), dir / L"Re_Zero.mp3");
  EXPECT_EQ(BuildRenameName(preferences, path, L"%T", 0), dir / L"Con_.mp3");
  preferences.settings.emptyFieldAction = 2;
  EXPECT_EQ(BuildRenameName(preferences, noArtist, L"", -1), noArtist);
  EXPECT_EQ(BuildRenameName(preferences, noArtist, L"%T", 0), dir / L"Re_Zero.mp3");
  preferences.settings.forbiddenCharacterAction = 3;
  preferences.settings.emptyFieldAction = -1;
  EXPECT_EQ(BuildRenameName(preferences, noArtist, L"", -1), dir / L"ArtistName - ReZero.mp3");
  EXPECT_EQ(preferences.settings.forbiddenCharacterAction, 3);
  preferences.settings = Settings{};
}
