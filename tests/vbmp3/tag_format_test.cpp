// FLAC, MP4 and Ogg files through the C interface's records: told apart
// from MPEG by their first bytes, filled like an ID3v2-only MP3's records,
// never given an ID3 tag, and written only where the editor changed a box.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "vbmp3/src/file_info.h"
#include "vbmp3/src/format_records.h"
#include "vbmp3/src/format_texts_write.h"
#include "vbmp3/src/io/preloaded_region.h"
#include "vbmp3/src/tag_format.h"
#include "vbmp3/src/tag_texts_write.h"

namespace vbmp3 {
namespace {

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

// An ID3v2.4 tag of `body` bytes (all padding), with a footer when asked.
std::vector<uint8_t> Id3v2(uint32_t body, bool footer) {
  std::vector<uint8_t> tag = {'I',
                              'D',
                              '3',
                              4,
                              0,
                              static_cast<uint8_t>(footer ? 0x10 : 0),
                              static_cast<uint8_t>((body >> 21) & 0x7F),
                              static_cast<uint8_t>((body >> 14) & 0x7F),
                              static_cast<uint8_t>((body >> 7) & 0x7F),
                              static_cast<uint8_t>(body & 0x7F)};
  tag.resize(tag.size() + body);
  if (footer) tag.insert(tag.end(), {'3', 'D', 'I', 4, 0, 0x10, 0, 0, 0, 0});
  return tag;
}

TagFormat Recognised(const std::vector<uint8_t>& bytes) {
  MemoryFile file(bytes);
  ByteWindow window(file);
  return RecogniseTagFormat(window);
}

TEST(TagFormat, IsToldByTheFirstBytesAndFlacAlsoAfterId3v2Tags) {
  std::vector<uint8_t> flac = Id3v2(300, true);
  const std::vector<uint8_t> second = Id3v2(20, false);
  flac.insert(flac.end(), second.begin(), second.end());
  const std::vector<uint8_t> marker = Bytes("fLaC\x80");
  flac.insert(flac.end(), marker.begin(), marker.end());
  EXPECT_EQ(Recognised(flac), TagFormat::kFlac);

  std::vector<uint8_t> mp3 = Id3v2(300, false);
  mp3.insert(mp3.end(), {0xFF, 0xFB, 0x90, 0x64, 0, 0, 0, 0});
  EXPECT_EQ(Recognised(mp3), TagFormat::kNone);
  EXPECT_EQ(Recognised(Bytes("OggS\0\2\0\0")), TagFormat::kOgg);
  EXPECT_EQ(Recognised(Bytes(std::string("\0\0\0\x20"
                                         "ftypM4A ",
                                         12))),
            TagFormat::kMp4);
  EXPECT_EQ(Recognised(Bytes("RIFF\x24\0\0\0WAVEfmt ")), TagFormat::kNone);
  EXPECT_EQ(Recognised(Bytes("fLa")), TagFormat::kNone);
}

TEST(TagFormat, RecordsHoldTheTextsAsForAnId3v2OnlyFile) {
  AudioProperties p;
  p.format = "FLAC";
  p.channels = 2;
  p.samplingRate = 96000;
  p.bitsPerSample = 24;
  p.seconds = 61.5;
  p.audioBytes = 1000000;
  FormatTexts t;
  t.title = "ずっと長い日本語のタイトルはフィールドに収まらない";
  t.artist = "A; B";
  t.genre = "Rock";
  t.track = "3/12";
  t.albumArtist = "AA";
  t.disc = "1/2";
  TagRecord tag{};
  StreamInfoRecord info{};
  TagTextsRecord texts{};
  Id3v2Values values;
  CollectionTexts collection;
  PutFormatRecords(p, t, 5000000, &tag, &info, &texts, &values, &collection);
  // 30 bytes of code page 932 at most, never half a character.
  EXPECT_EQ(std::strlen(tag.Title), 30u);
  EXPECT_STREQ(tag.Artist, "A; B");
  EXPECT_EQ(tag.GenreNumber, 17);
  EXPECT_STREQ(tag.GenreName, "Rock");
  EXPECT_EQ(std::string(texts.Texts[kTextTitle]), t.title);
  EXPECT_STREQ(texts.Texts[kTextTrack], "3/12");
  EXPECT_STREQ(texts.Texts[kTextFormat], "FLAC");
  EXPECT_STREQ(texts.Texts[kTextId3v2Version], "");
  EXPECT_EQ(info.Version, 0);
  EXPECT_EQ(info.Channels, 2);
  EXPECT_EQ(info.SamplingRate, 96000);
  EXPECT_EQ(info.BitRate, 130);  // 8,000,000 bits over 61.5 s
  EXPECT_EQ(info.Frames, 5904000);
  EXPECT_EQ(info.TotalSeconds, 61);
  EXPECT_EQ(info.FileSize, 5000000);
  EXPECT_EQ(values[0], t.title);
  EXPECT_EQ(collection.albumArtist, "AA");
  EXPECT_EQ(collection.disc, "1/2");

  t.genre = "Chiptune Jazz";
  PutFormatRecords(p, t, 0, &tag, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(tag.GenreNumber, 255);
  EXPECT_STREQ(tag.GenreName, "Chiptune Jazz");
}

TEST(TagFormat, NoWriterPutsAnId3TagOnThem) {
  std::vector<uint8_t> ogg = Bytes("OggS");
  ogg.resize(4096, 0xFF);  // frame syncs an MPEG search would take
  MemoryFile file(ogg);
  TagRecord tag{};
  std::strcpy(tag.Title, "x");
  EXPECT_EQ(WriteTagInfo(file, tag), VBMP3_ERR_TAG_NOT_REWRITABLE);
  Id3v2Values values;
  values[0] = "x";
  bool replaced = false;
  // The values go to the file's own tag, and a file no reader takes is no audio.
  EXPECT_EQ(WriteTagValues(
                file, values, false, [] { return nullptr; }, replaced, true),
            VBMP3_ERR_NOT_AUDIO);
  EXPECT_EQ(file.Bytes(), ogg);
}

TEST(TagFormat, OnlyBoxesThatDifferFromTheTagAreChanges) {
  FormatTexts current;
  current.title = std::string(100, 'x') + "ああああああああああ";  // 130 bytes
  current.artist = "A; B";
  current.year = "2001";  // from a DATE of 2001-02-03
  Id3v2Values values = {
      std::string(100, 'x') + "あああああああああ", "A; B", "", "2001", "", "", "9/9"};
  EXPECT_FALSE(ChangesTo(current, values, false).Any());  // the record's cut title is the title
  const FormatTextChanges whole = ChangesTo(current, values, true);
  ASSERT_TRUE(whole.title.has_value());
  EXPECT_EQ(*whole.title, values[0]);
  EXPECT_FALSE(whole.artist || whole.year || whole.album);
  values[1] = "";
  EXPECT_EQ(ChangesTo(current, values, true).artist, std::optional<std::string>(""));
}

TEST(TagFormat, ADamagedFileIsNoAudioAndItsRecordsStayEmpty) {
  MemoryFile file(Bytes(std::string("OggS\0\2\0\0\0\0\0\0\0\0\0\0", 16)));
  TagRecord tag{};
  StreamInfoRecord info{};
  TagTextsRecord texts{};
  EXPECT_EQ(ReadFileInfo(file, &tag, &info, &texts), VBMP3_ERR_NOT_AUDIO);
  EXPECT_EQ(tag.GenreNumber, -1);
  EXPECT_STREQ(tag.Title, "");
  EXPECT_EQ(info.FileSize, 16);
}

}  // namespace
}  // namespace vbmp3

namespace vbmp3 {
namespace {

// A file on disk as the readers meet it: nothing held in memory, every
// read counted.
class CountingFile : public MemoryFile {
 public:
  using MemoryFile::MemoryFile;
  bool ReadAt(uint64_t offset, void* buffer, size_t n, size_t& got) override {
    ++reads;
    return MemoryFile::ReadAt(offset, buffer, n, got);
  }
  const uint8_t* View(uint64_t, size_t) const override { return nullptr; }
  int reads = 0;
};

// A FLAC file of `size` bytes: STREAMINFO (44.1 kHz, stereo, 16 bits, two
// seconds), then bytes standing for the frames.
std::vector<uint8_t> FlacOfSize(size_t size) {
  std::vector<uint8_t> bytes = {'f', 'L',  'a', 'C', 0x80, 0, 0, 34, 0x10,
                                0,   0x10, 0,   0,   0,    0, 0, 0,  0};
  const uint64_t fields =
      (uint64_t{44100} << 44) | (uint64_t{1} << 41) | (uint64_t{15} << 36) | 88200;
  for (int shift = 56; shift >= 0; shift -= 8)
    bytes.push_back(static_cast<uint8_t>(fields >> shift));
  bytes.resize(bytes.size() + 16);  // MD5
  bytes.resize(size, 0x55);
  return bytes;
}

TEST(PreloadedRegion, ServesItsRegionFromOneReadAndForgetsItOnAWrite) {
  std::vector<uint8_t> bytes(1000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
  CountingFile file(bytes);
  PreloadedRegion region(file, 100, 300);
  EXPECT_EQ(file.reads, 1);
  uint8_t got[50];
  size_t n = 0;
  for (uint64_t at : {100, 150, 250}) {
    ASSERT_TRUE(region.ReadAt(at, got, sizeof got, n));
    EXPECT_EQ(n, sizeof got);
    EXPECT_EQ(got[0], bytes[at]);
  }
  EXPECT_EQ(file.reads, 1);
  // Across the region's end, and past the file's: the file answers.
  ASSERT_TRUE(region.ReadAt(280, got, sizeof got, n));
  EXPECT_EQ(got[49], bytes[329]);
  ASSERT_TRUE(region.ReadAt(990, got, sizeof got, n));
  EXPECT_EQ(n, 10u);
  EXPECT_EQ(file.reads, 3);
  const uint8_t changed = 0xAB;
  ASSERT_TRUE(region.WriteAt(150, &changed, 1));
  ASSERT_TRUE(region.ReadAt(150, got, 1, n));
  EXPECT_EQ(got[0], 0xAB);
}

TEST(PreloadedRegion, ARegionOfBytesInMemoryBorrowsThem) {
  std::vector<uint8_t> bytes(1000, 7);
  CountingFile disk(bytes);
  PreloadedRegion outer(disk, 0, 600);
  PreloadedRegion inner(outer, 100, 300);
  EXPECT_EQ(disk.reads, 1);
  EXPECT_EQ(inner.View(100, 200), outer.View(100, 200));
  EXPECT_EQ(inner.View(500, 50), outer.View(500, 50));  // outer's bytes, through it
  EXPECT_EQ(inner.View(550, 100), nullptr);             // past what either holds
}

// Listing a folder costs what the file system's reads cost: a small file is
// read once, a large one at its start and its end only.
TEST(TagFormat, ASmallFileIsReadOnceALargeOneAtBothEnds) {
  for (auto [size, reads] : {std::pair<size_t, int>{20000, 1}, {64 * 1024, 1}, {3000000, 3}}) {
    CountingFile file(FlacOfSize(size));
    TagRecord tag{};
    StreamInfoRecord info{};
    TagTextsRecord texts{};
    ASSERT_EQ(ReadFileInfo(file, &tag, &info, &texts), VBMP3_ERR_NONE) << size;
    EXPECT_STREQ(texts.Texts[kTextFormat], "FLAC");
    EXPECT_EQ(info.SamplingRate, 44100);
    EXPECT_EQ(info.TotalSeconds, 2);
    EXPECT_EQ(file.reads, reads) << size;
  }
}

}  // namespace
}  // namespace vbmp3
