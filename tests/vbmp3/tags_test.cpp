// ID3v1 tags through the library's records: reading, writing in every file
// layout, Shift_JIS texts, and writes that fail.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/vbmp3/synth.h"
#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/audio_stream.h"
#include "vbmp3/src/io/byte_order.h"
#include "vbmp3/src/file_info.h"
#include "vbmp3/src/id3v1/genre.h"
#include "vbmp3/src/id3v1/id3v1.h"

namespace {

using synth::Bytes;

// A record as the program fills it: texts padded with spaces, no NUL.
TagRecord Record(const std::string& title, const std::string& artist, const std::string& year,
                 const std::string& comment, int genre) {
  TagRecord r;
  std::memset(&r, 0, sizeof r);
  auto fill = [](char* field, size_t width, const std::string& text) {
    std::memset(field, ' ', width);
    std::memcpy(field, text.data(), std::min(width, text.size()));
  };
  fill(r.Title, sizeof r.Title, title);
  fill(r.Artist, sizeof r.Artist, artist);
  fill(r.Album, sizeof r.Album, "");
  fill(r.Year, sizeof r.Year, year);
  fill(r.Comment, sizeof r.Comment, comment);
  r.GenreNumber = genre;
  return r;
}

struct Read {
  int32_t error;
  TagRecord tag;
  StreamInfoRecord info;
  TagTextsRecord texts;
  vbmp3::TagVersions versions;
};

Read ReadBack(vbmp3::MemoryFile& file) {
  Read r{};
  r.error = vbmp3::ReadFileInfo(file, &r.tag, &r.info, &r.texts, &r.versions);
  return r;
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const Bytes& Audio() {
  static const Bytes audio = synth::Frames(synth::kMpeg1L3, 20, 2);
  return audio;
}

TEST(Id3v1, ReadsVersionOneAndOnePointOne) {
  vbmp3::MemoryFile v10(
      synth::Join({Audio(), synth::Id3v1("Title", "Artist", std::string(30, 'c'), 0, 17)}));
  Read r = ReadBack(v10);
  ASSERT_EQ(r.error, 0);
  EXPECT_STREQ(r.tag.Title, "Title");
  EXPECT_STREQ(r.tag.Comment, std::string(30, 'c').c_str());
  EXPECT_EQ(r.tag.GenreNumber, 17);
  EXPECT_STREQ(r.tag.GenreName, "Rock");
  EXPECT_EQ(r.info.Frames, 20);  // the tag is not audio

  vbmp3::MemoryFile v11(synth::Join({Audio(), synth::Id3v1("T", "A", "note", 7, 255)}));
  r = ReadBack(v11);
  EXPECT_STREQ(r.tag.Comment, "note");
  EXPECT_EQ(r.tag.GenreNumber, 255);
  EXPECT_STREQ(r.tag.GenreName, "");
  EXPECT_EQ(r.versions.id3v1, 11);
  EXPECT_STREQ(r.texts.Texts[vbmp3::kTextTrack], "");  // the texts are ID3v2's
  EXPECT_EQ(r.texts.Id3v1Track, 7);                    // the ID3v1.1 track has a field of its own
}

TEST(Id3v1, TrackByteOnlyFromAnId3v1Point1Tag) {
  // A comment filling all 30 bytes is ID3v1.0: its last byte is no track.
  vbmp3::MemoryFile v10(
      synth::Join({Audio(), synth::Id3v1("T", "A", std::string(30, 'c'), 0, 17)}));
  EXPECT_EQ(ReadBack(v10).texts.Id3v1Track, 0);
  vbmp3::MemoryFile none(Audio());
  EXPECT_EQ(ReadBack(none).texts.Id3v1Track, 0);
  vbmp3::MemoryFile highest(synth::Join({Audio(), synth::Id3v1("T", "A", "", 255, 17)}));
  EXPECT_EQ(ReadBack(highest).texts.Id3v1Track, 255);  // a byte, not a signed char
}

TEST(Id3v1, PadSpacesAndNulsAreNotText) {
  Bytes tag = synth::Id3v1("Song   ", "", "", 0, 0);
  std::memset(tag.data() + 33, ' ', 30);  // an artist of spaces only
  vbmp3::MemoryFile file(synth::Join({Audio(), tag}));
  const Read r = ReadBack(file);
  EXPECT_STREQ(r.tag.Title, "Song");
  EXPECT_STREQ(r.tag.Artist, "");
}

TEST(Id3v1, NoTagGivesEmptyTextsAndNoGenre) {
  vbmp3::MemoryFile file(Audio());
  const Read r = ReadBack(file);
  EXPECT_EQ(r.error, 0);
  EXPECT_STREQ(r.tag.Title, "");
  EXPECT_EQ(r.tag.GenreNumber, -1);
}

TEST(Id3v1, ShiftJisTrailByte5CPassesUnchanged) {
  // "表示ソフト": 0x95 0x5C, 0x83 0x5C - trail bytes that are a backslash in ASCII.
  const std::string text = "\x95\x5C\x8E\xA6\x83\x5C\x83\x74\x83\x67";
  vbmp3::MemoryFile file(Audio());
  ASSERT_EQ(vbmp3::WriteTagInfo(file, Record(text, text + "\x95\x5C", "2024", "", 12)), 0);
  const Read r = ReadBack(file);
  EXPECT_EQ(std::string(r.tag.Title), text);
  EXPECT_EQ(std::string(r.tag.Artist), text + "\x95\x5C");
}

TEST(Id3v1, LongTextIsCutAtACharacterBoundary) {
  // 15 double-byte characters after one ASCII byte: the 15th would need
  // bytes 29 and 30 of a 30-byte field.
  std::string text = "A";
  for (int i = 0; i < 15; ++i) text += "\x83\x5C";
  vbmp3::MemoryFile file(Audio());
  ASSERT_EQ(vbmp3::WriteTagInfo(file, Record(text, "", "20245", "", -1)), 0);
  const Bytes& bytes = file.Bytes();
  const uint8_t* tag = bytes.data() + bytes.size() - 128;
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(tag + 3), 29), text.substr(0, 29));
  EXPECT_EQ(tag[3 + 29], 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(tag + 93), 4), "2024");
  EXPECT_EQ(tag[127], 255);  // genre -1: none
}

TEST(Id3v1, CutKeepsSingleByteKatakanaWhole) {
  // Half-width katakana (0xA1-0xDF) are single bytes in code page 932.
  EXPECT_EQ(vbmp3::CutText(std::string(40, '\xB1'), 30).size(), 30u);
  EXPECT_EQ(vbmp3::CutText("\x81\x40\x81\x40", 3), "\x81\x40");
}

TEST(WriteTag, AppendsThenReplacesWithoutTouchingAudio) {
  const Bytes original = synth::Join({synth::Id3v2(200), Audio()});
  vbmp3::MemoryFile file(original);
  ASSERT_EQ(vbmp3::WriteTagInfo(file, Record("First", "Me", "1999", "c", 3)), 0);
  ASSERT_EQ(file.Bytes().size(), original.size() + 128);
  ASSERT_EQ(vbmp3::WriteTagInfo(file, Record("Second", "Me", "2000", "", 4)), 0);
  ASSERT_EQ(file.Bytes().size(), original.size() + 128);
  EXPECT_TRUE(std::equal(original.begin(), original.end(), file.Bytes().begin()));
  const Read r = ReadBack(file);
  EXPECT_STREQ(r.tag.Title, "Second");
  EXPECT_STREQ(r.tag.Year, "2000");
  EXPECT_STREQ(r.tag.GenreName, "Disco");
  EXPECT_EQ(r.info.Frames, 20);
}

TEST(WriteTag, KeepsAnExistingTrackNumber) {
  vbmp3::MemoryFile file(synth::Join({Audio(), synth::Id3v1("Old", "", "", 9, 0)}));
  ASSERT_EQ(vbmp3::WriteTagInfo(file, Record("New", "", "", std::string(30, 'x'), 0)), 0);
  const uint8_t* tag = file.Bytes().data() + file.Bytes().size() - 128;
  EXPECT_EQ(tag[125], 0);
  EXPECT_EQ(tag[126], 9);
  const Read r = ReadBack(file);
  EXPECT_STREQ(r.tag.Comment, std::string(28, 'x').c_str());
}

TEST(WriteTag, RiffFilesGetATagChunkAtTheEndOfTheForm) {
  const Bytes fmt = synth::WaveFormat(1, 1, 8000, 16000, 2, 16);
  const Bytes original = synth::Riff("WAVE", {{"fmt ", fmt}, {"data", Bytes(1601, 7)}});
  vbmp3::MemoryFile file(original);
  ASSERT_EQ(vbmp3::WriteTagInfo(file, Record("Wave", "", "", "", 1)), 0);
  const Bytes& b = file.Bytes();
  ASSERT_EQ(b.size(), original.size() + 136);
  EXPECT_EQ(vbmp3::ReadLE32(b.data() + 4), b.size() - 8);  // the form covers it
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data() + original.size()), 4), "TAG ");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data() + b.size() - 128), 3), "TAG");
  ASSERT_EQ(vbmp3::WriteTagInfo(file, Record("Again", "", "", "", 1)), 0);
  EXPECT_EQ(file.Bytes().size(), original.size() + 136);
  const Read r = ReadBack(file);
  EXPECT_STREQ(r.tag.Title, "Again");
  EXPECT_EQ(r.info.Frames, 800);
  EXPECT_TRUE(std::equal(original.begin() + 8, original.end(), file.Bytes().begin() + 8));
}

TEST(WriteTag, RawTagAfterARiffFormBecomesTheChunk) {
  const Bytes form = synth::Riff("RMP3", {{"data", Audio()}});
  vbmp3::MemoryFile file(synth::Join({form, synth::Id3v1("Raw", "", "", 4, 0)}));
  EXPECT_STREQ(ReadBack(file).tag.Title, "Raw");
  ASSERT_EQ(vbmp3::WriteTagInfo(file, Record("Chunk", "", "", "", 0)), 0);
  EXPECT_EQ(file.Bytes().size(), form.size() + 136);
  EXPECT_EQ(vbmp3::ReadLE32(file.Bytes().data() + 4), form.size() + 128);
  const Read r = ReadBack(file);
  EXPECT_STREQ(r.tag.Title, "Chunk");
  EXPECT_EQ(file.Bytes()[file.Bytes().size() - 2], 4);  // the track number stays
  EXPECT_EQ(r.info.Frames, 20);
}

TEST(WriteTag, RiffFormThatDoesNotEndWithTheFileIsLeftAlone) {
  Bytes cut = synth::Riff("RMP3", {{"data", Audio()}});
  cut.resize(cut.size() - 50);
  vbmp3::MemoryFile file(cut);
  EXPECT_EQ(vbmp3::WriteTagInfo(file, Record("x", "", "", "", 0)), VBMP3_ERR_WRITE);
  EXPECT_EQ(file.Bytes(), cut);
}

TEST(WriteTag, FailedWriteLeavesTheFileAsItWas) {
  struct Case {
    Bytes original;
    uint64_t written;  // bytes a successful write writes
  } cases[] = {{Audio(), 128},
               {synth::Join({Audio(), synth::Id3v1("Old", "", "", 0, 0)}), 128},
               {synth::Riff("RMP3", {{"data", Audio()}}), 136 + 4}};
  for (const Case& c : cases) {
    for (uint64_t budget : {0, 5, 100, 127, 137, 140}) {
      vbmp3::MemoryFile file(c.original);
      file.FailWritesAfter(budget);
      const int32_t error = vbmp3::WriteTagInfo(file, Record("New", "", "", "", 0));
      if (budget >= c.written) {
        EXPECT_EQ(error, 0);
      } else {
        EXPECT_EQ(error, VBMP3_ERR_WRITE) << "budget " << budget;
        EXPECT_EQ(file.Bytes(), c.original) << "budget " << budget;
      }
    }
  }
}

TEST(WriteTag, AppendedTagLeavesAudioThatLooksLikeAnExtensionReadable) {
  // "TAG+" and Lyrics3 v1 count as tags only in front of an ID3v1 tag: the
  // appended tag must not turn the bytes of a stream into one of them.
  Bytes enhanced = synth::Frames(synth::kMpeg1L3, 1);
  std::memcpy(enhanced.data() + enhanced.size() - 227, "TAG+", 4);
  Bytes lyrics = synth::Frames(synth::kMpeg1L3, 1);
  std::memcpy(lyrics.data() + 40, "LYRICSBEGIN", 11);
  std::memcpy(lyrics.data() + lyrics.size() - 9, "LYRICSEND", 9);
  // The fuzzer's find: a free-format stream running through a "TAG+".
  Bytes found =
      ReadFile(std::string(VBMP3_FUZZ_REGRESSIONS) + "/id3/appended-tag-makes-tag-plus.bin");
  ASSERT_GT(found.size(), 32u);
  found.erase(found.begin(), found.begin() + 32);  // the fuzzer's record to write
  for (const Bytes& original : {enhanced, lyrics, found}) {
    vbmp3::MemoryFile file(original);
    ASSERT_EQ(ReadBack(file).error, 0);
    const int32_t frames = ReadBack(file).info.Frames;
    ASSERT_EQ(vbmp3::WriteTagInfo(file, Record("x", "", "", "", 0)), 0);
    const Read r = ReadBack(file);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.info.Frames, frames);
    EXPECT_STREQ(r.tag.Title, "x");
  }
  // A real enhanced tag still is one: the audio ends where it begins.
  Bytes real = synth::Join({Audio(), Bytes(227, 0xFF), synth::Id3v1("t", "", "", 0, 0)});
  std::memcpy(real.data() + Audio().size(), "TAG+", 4);
  vbmp3::MemoryFile file(real);
  vbmp3::AudioStream a;
  ASSERT_EQ(vbmp3::AnalyseAudio(file, a), 0);
  EXPECT_EQ(a.dataEnd, Audio().size());
}

TEST(WriteTag, AppendedTagDoesNotCompleteAnId3v2TagThatRanPastTheEnd) {
  // The ID3v2 tag claims 100 bytes more than the file holds: broken, so the
  // audio is looked for after its header. The 128 appended bytes must not
  // make it whole, which would hide the audio and add the ID3v1 tag to it.
  Bytes v2 = synth::Id3v2Tag(3, 0, synth::Id3v2Frame(3, "TIT2", synth::Text(0, "two")));
  const Bytes small = synth::Frames(synth::kMpeg1L3, 2);
  const uint32_t claimed = static_cast<uint32_t>(v2.size() - 10 + small.size() + 100);
  for (int i = 0; i < 4; ++i) v2[6 + i] = static_cast<uint8_t>((claimed >> (7 * (3 - i))) & 0x7F);
  Bytes found =
      ReadFile(std::string(VBMP3_FUZZ_REGRESSIONS) + "/id3/appended-tag-makes-id3v2-size-fit.bin");
  ASSERT_GT(found.size(), 32u);
  found.erase(found.begin(), found.begin() + 32);  // the fuzzer's record to write
  for (const Bytes& original : {synth::Join({v2, small}), found}) {
    vbmp3::MemoryFile file(original);
    const Read before = ReadBack(file);
    ASSERT_EQ(before.error, 0);
    ASSERT_EQ(vbmp3::WriteTagInfo(file, Record("one", "", "", "", 0)), 0);
    const Read after = ReadBack(file);
    EXPECT_EQ(after.error, 0);
    EXPECT_EQ(after.info.Frames, before.info.Frames);
    EXPECT_EQ(std::string(after.texts.Texts[0]), before.texts.Texts[0]);
    EXPECT_STREQ(after.tag.Title, "one");
  }
}

TEST(WriteTag, Id3v1TagIsNeverAudio) {
  // A broken ID3v2 header within the last 138 bytes sent the audio search
  // past the start of the ID3v1 tag: the stream was read from the tag's own
  // bytes, which a write then replaced. Those bytes are the tag's only.
  Bytes found = ReadFile(std::string(VBMP3_FUZZ_REGRESSIONS) + "/id3/id3v1-tag-over-the-audio.bin");
  ASSERT_GT(found.size(), 32u);
  found.erase(found.begin(), found.begin() + 32);  // the fuzzer's record to write
  vbmp3::MemoryFile file(found);
  EXPECT_EQ(ReadBack(file).error, VBMP3_ERR_NOT_AUDIO);
  EXPECT_STREQ(ReadBack(file).tag.Title, "EX");
  EXPECT_EQ(vbmp3::WriteTagInfo(file, Record("x", "", "", "", 0)), VBMP3_ERR_NOT_AUDIO);
  EXPECT_EQ(file.Bytes(), found);
}

TEST(WriteTag, NoChunkIsAddedInsideAChunkThatRunsPastTheForm) {
  // The data chunk claims more than the file holds while the form ends with
  // the file: a chunk added at the end would become part of the data, and a
  // stream ending exactly at the end of the file would no longer.
  Bytes riff = synth::Riff("RMP3", {{"data", synth::Frames(synth::kMpeg1L3, 1, 1)}});  // 418 bytes
  vbmp3::WriteLE32(riff.data() + 16, vbmp3::ReadLE32(riff.data() + 16) + 1000);
  vbmp3::MemoryFile file(riff);
  ASSERT_EQ(ReadBack(file).error, 0);
  EXPECT_EQ(vbmp3::WriteTagInfo(file, Record("x", "", "", "", 0)), VBMP3_ERR_WRITE);
  EXPECT_EQ(file.Bytes(), riff);
}

TEST(WriteTag, NonAudioFilesGetNoTag) {
  const Bytes text(5000, 'a');
  vbmp3::MemoryFile file(text);
  EXPECT_EQ(vbmp3::WriteTagInfo(file, Record("x", "", "", "", 0)), VBMP3_ERR_NOT_AUDIO);
  EXPECT_EQ(file.Bytes(), text);
}

TEST(Genre, NamesEveryNumberUpTo191AndNoMore) {
  for (int n = 0; n < vbmp3::kGenreCount; ++n) EXPECT_FALSE(vbmp3::GenreName(n).empty()) << n;
  EXPECT_EQ(vbmp3::GenreName(0), "Blues");
  EXPECT_EQ(vbmp3::GenreName(79), "Hard Rock");
  EXPECT_EQ(vbmp3::GenreName(147), "Synthpop");
  EXPECT_EQ(vbmp3::GenreName(191), "Psybient");
  EXPECT_TRUE(vbmp3::GenreName(192).empty());
  EXPECT_TRUE(vbmp3::GenreName(255).empty());
  EXPECT_TRUE(vbmp3::GenreName(-1).empty());

  TagRecord r;
  std::memset(&r, 'x', sizeof r);  // a record reused between calls
  r.GenreNumber = 8;
  EXPECT_EQ(vbmp3::GetGenre(&r), 1);
  EXPECT_STREQ(r.GenreName, "Jazz");
  r.GenreNumber = 200;
  EXPECT_EQ(vbmp3::GetGenre(&r), 0);
  EXPECT_STREQ(r.GenreName, "");
}

}  // namespace
