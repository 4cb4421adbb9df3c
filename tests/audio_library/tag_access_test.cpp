// The program's access to tags through the real VBMP3.dll: what
// it reports for a readable file, a file the library refuses, and a file no
// ANSI path reaches, and that a written tag reads back.
#include "audio_library/tag_access.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "audio_library/library_path.h"
#include "audio_library/vbmp3_api.h"
#include "tests/support/silent_mp3.h"
#include "tests/support/test_files.h"
#include "tests/support/vbmp3_environment.h"

using testing_files::SilentMp3;

namespace {

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new Vbmp3Environment);

// An ID3v2.4 tag holding UTF-8 text frames (id, value), to stand before
// the audio.
std::string Id3v2Frames(const std::vector<std::pair<std::string, std::string>>& frames) {
  auto syncSafe = [](size_t n) {
    return std::string{static_cast<char>((n >> 21) & 0x7F), static_cast<char>((n >> 14) & 0x7F),
                       static_cast<char>((n >> 7) & 0x7F), static_cast<char>(n & 0x7F)};
  };
  std::string body;
  for (const auto& [id, utf8] : frames) {
    body += id + syncSafe(utf8.size() + 1);
    body += {0, 0, 3};  // no flags; UTF-8
    body += utf8;
  }
  return std::string("ID3") + std::string{4, 0, 0} + syncSafe(body.size()) + body;
}

std::string Id3v2Title(const std::string& utf8) { return Id3v2Frames({{"TIT2", utf8}}); }

using TagAccessTest = LibraryFileTest;

TEST_F(TagAccessTest, AReadableFileGivesBothTagsAsWideTextsAndItsStream) {
  std::wstring path = File(L"song.mp3", Id3v2Title("노래") + SilentMp3(20, "\x89\xCC", "Artist1"));
  TagReading reading = ReadFileTagsReporting(path);
  ASSERT_EQ(reading.outcome, TagReadOutcome::kRead);
  EXPECT_EQ(reading.tags.id3v1.title, L"歌");  // the code page's bytes decoded
  EXPECT_EQ(reading.tags.id3v1.artist, L"Artist1");
  EXPECT_EQ(reading.tags.id3v2.title, L"노래");
  EXPECT_EQ(reading.tags.id3v2.artist, L"");
  EXPECT_EQ(reading.tags.id3v2Version, L"2.4");
  EXPECT_EQ(reading.tags.stream.Layer, 3);
  EXPECT_EQ(reading.tags.stream.SamplingRate, 44100);

  std::optional<FileTags> tags = ReadFileTags(path);
  ASSERT_TRUE(tags);
  EXPECT_EQ(tags->id3v2.title, L"노래");
}

TEST_F(TagAccessTest, AFileTheLibraryRefusesStillShowsWhatTheLibraryFilled) {
  std::string tag(128, '\0');
  tag.replace(0, 7, "TAGJunk");
  std::wstring path = File(L"text.mp3", std::string(4000, 'x') + tag);
  TagReading reading = ReadFileTagsReporting(path);
  EXPECT_EQ(reading.outcome, TagReadOutcome::kLibraryFailed);
  EXPECT_EQ(reading.tags.id3v1.title, L"Junk");
  EXPECT_EQ(reading.tags.stream.FileSize, 4128);
  EXPECT_NE(Vbmp3LastErrorNumber(), 0);
  EXPECT_FALSE(ReadFileTags(path));

  EXPECT_EQ(ReadFileTagsReporting(*folder_ / L"missing.mp3").outcome,
            TagReadOutcome::kLibraryFailed);
}

TEST_F(TagAccessTest, AFileNoAnsiPathReachesIsNotGivenToTheLibrary) {
  std::wstring path = File(L"Café.mp3", SilentMp3(20, "Cafe"));
  win::Seam<decltype(&GetShortPathNameW)>::Replacement noShortNames(g_getShortPathName,
                                                                    &NoShortName);
  TagReading reading = ReadFileTagsReporting(path);
  EXPECT_EQ(reading.outcome, TagReadOutcome::kUnreachablePath);
  EXPECT_EQ(reading.tags.id3v1.title, L"");
  EXPECT_FALSE(ReadFileTags(path));
}

TEST_F(TagAccessTest, AWrittenTagReadsBackAndANonAudioFileIsRefused) {
  std::wstring path = File(L"write.mp3", SilentMp3(20, "Old"));
  TagTexts texts;
  texts.title = L"新しい題";
  texts.artist = L"アーティスト";
  texts.year = L"1999";
  texts.genreName = L"not written";
  ASSERT_TRUE(WriteId3v1Tag(*LibraryPath(path), texts, 17));
  std::optional<FileTags> tags = ReadFileTags(path);
  ASSERT_TRUE(tags);
  EXPECT_EQ(tags->id3v1.title, L"新しい題");
  EXPECT_EQ(tags->id3v1.artist, L"アーティスト");
  EXPECT_EQ(tags->id3v1.year, L"1999");
  EXPECT_EQ(tags->id3v1.genreName, L"Rock");

  std::wstring text = File(L"text.mp3", std::string(4000, 'x'));
  EXPECT_FALSE(WriteId3v1Tag(*LibraryPath(text), texts, 17));
}

TEST_F(TagAccessTest, TheAlbumArtistAndTheDiscComeFromTheId3v2Tag) {
  std::wstring path =
      File(L"compilation.mp3",
           Id3v2Frames({{"TIT2", "Song"}, {"TPE2", "Various Artists"}, {"TPOS", "02/03"}}) +
               SilentMp3(20, "Song", "Guest"));
  std::optional<FileTags> tags = ReadFileTags(path);
  ASSERT_TRUE(tags);
  EXPECT_EQ(tags->id3v2.albumArtist, L"Various Artists");
  EXPECT_EQ(tags->id3v2.disc, L"02/03");
  EXPECT_EQ(tags->id3v1.albumArtist, L"");  // an ID3v1 tag has none
}

TEST_F(TagAccessTest, TextsLongerThanTheRecordsFieldsAreReadAndWrittenWhole) {
  std::string title;
  for (int i = 0; i < 64; ++i) title += "\xE3\x81\x82";  // あ x 64, and one more below
  std::wstring path = File(L"long.mp3", Id3v2Title(title + "\xE3\x81\x82") + SilentMp3(20, ""));
  std::wstring whole(65, L'あ');
  std::optional<FileTags> tags = ReadFileTags(path);
  ASSERT_TRUE(tags);
  EXPECT_EQ(tags->id3v2.title, whole);

  Id3v2Values values;
  values.title = whole.substr(0, 64) + L"い";
  ASSERT_TRUE(WriteId3v2Texts(*LibraryPath(path), values, false));
  tags = ReadFileTags(path);
  ASSERT_TRUE(tags);
  EXPECT_EQ(tags->id3v2.title, values.title);

  // A library without the whole texts' exports: its record's cut stands.
  Vbmp3Api older = *g_vbmp3;
  older.getFileInfoWhole = nullptr;
  older.setTagTextsWhole = nullptr;
  {
    win::Seam<Vbmp3Api>::Replacement olderLibrary(g_vbmp3, older);
    tags = ReadFileTags(path);
    ASSERT_TRUE(tags);
    EXPECT_EQ(tags->id3v2.title, values.title.substr(0, 42));
    Id3v2Values cut = {tags->id3v2.title, L"A"};
    ASSERT_TRUE(WriteId3v2Texts(*LibraryPath(path), cut, false));
  }
  tags = ReadFileTags(path);
  ASSERT_TRUE(tags);
  EXPECT_EQ(tags->id3v2.title, values.title);  // the cut title changed nothing
  EXPECT_EQ(tags->id3v2.artist, L"A");
}

}  // namespace

namespace {

TEST(LibraryGenres, TheLibrarysNamedGenresByAscendingNumber) {
  std::vector<Genre> genres = LibraryGenres();
  ASSERT_GT(genres.size(), 100u);
  EXPECT_EQ(genres.front().number, 0);
  EXPECT_EQ(genres.front().name, L"Blues");
  int previous = -1;
  for (const Genre& genre : genres) {
    EXPECT_GT(genre.number, previous);
    EXPECT_LE(genre.number, 255);
    EXPECT_FALSE(genre.name.empty()) << genre.number;
    previous = genre.number;
  }
  EXPECT_EQ(genres[17].number, 17);
  EXPECT_EQ(genres[17].name, L"Rock");
}

}  // namespace
