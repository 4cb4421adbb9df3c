#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tests/vbmp3/synth.h"
#include "vbmp3/src/mp4/mp4_file.h"

namespace vbmp3 {
namespace {

using synth::Append16;
using synth::Append32;
using synth::Append64;
using synth::Bytes;
using synth::Join;
using synth::Mp4Box;
using synth::Mp4Data;

Bytes Text(const std::string& s) { return Mp4Data(1, Bytes(s.begin(), s.end())); }
Bytes Pair(uint32_t number, uint32_t total) {
  Bytes v = {0, 0};
  Append16(v, number);
  Append16(v, total);
  return Mp4Data(0, v);
}

Bytes Ilst() {
  return Mp4Box("ilst", Join({Mp4Box("\xA9nam", Text("日本語の題名🎵")),
                              Mp4Box("\xA9"
                                     "ART",
                                     Join({Text("一人目"), Text("😀 two")})),
                              Mp4Box("----", Join({Mp4Box("mean", Bytes(8)),
                                                   Mp4Box("name", Bytes(8)), Text("free")})),
                              Mp4Box("covr", Mp4Data(13, Bytes(64, 0xFF))),
                              Mp4Box("\xA9"
                                     "day",
                                     Text("2001-02-03")),
                              Mp4Box("trkn", Pair(3, 12)), Mp4Box("disk", Pair(1, 0)),
                              Mp4Box("gnre", Mp4Data(0, {0, 18})), Mp4Box("aART", Text("AA"))}));
}

Bytes Meta(const Bytes& ilst, bool fullBox) {
  const Bytes hdlr = Mp4Box("hdlr", Join({Bytes(8), {'m', 'd', 'i', 'r'}, Bytes(13)}));
  return Mp4Box("meta", Join({fullBox ? Bytes(4) : Bytes(), hdlr, ilst}));
}

Bytes AacEntry(uint32_t channels, uint32_t rate) {
  Bytes body = {0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0};
  Append16(body, channels);
  Append16(body, 16);
  Append32(body, 0);
  Append32(body, rate << 16);
  // ES descriptor, decoder configuration, AAC LC 44100 Hz stereo.
  const Bytes esds = {0, 0, 0, 0, 3, 25, 0, 1, 0, 4, 17,   0x40, 0x15, 0, 0, 0,
                      0, 0, 0, 0, 0, 0,  0, 0, 5, 2, 0x12, 0x10, 6,    1, 2};
  return Mp4Box("mp4a", Join({body, Mp4Box("esds", esds)}));
}

Bytes AlacEntry(uint32_t bits, uint32_t channels, uint32_t rate) {
  Bytes body = {0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0};
  Append16(body, 2);
  Append16(body, 16);
  Append32(body, 0);
  Append32(body, 0);  // the 16.16 rate cannot say 96000
  Bytes cookie(4);
  Append32(cookie, 4096);
  cookie.insert(cookie.end(), {0, static_cast<uint8_t>(bits), 40, 10, 14,
                               static_cast<uint8_t>(channels), 0, 255});
  Append32(cookie, 0);
  Append32(cookie, 0);
  Append32(cookie, rate);
  return Mp4Box("alac", Join({body, Mp4Box("alac", cookie)}));
}

Bytes Track(const std::string& handler, const Bytes& entry, const Bytes& mdhd, const Bytes& stsz) {
  const Bytes hdlr =
      Mp4Box("hdlr", Join({Bytes(8), Bytes(handler.begin(), handler.end()), Bytes(13)}));
  const Bytes stsd = Mp4Box("stsd", Join({Bytes{0, 0, 0, 0, 0, 0, 0, 1}, entry}));
  return Mp4Box(
      "trak",
      Mp4Box("mdia", Join({mdhd, hdlr, Mp4Box("minf", Mp4Box("stbl", Join({stsd, stsz})))})));
}

Bytes Mdhd0(uint32_t timescale, uint32_t duration) {
  Bytes body(12);
  Append32(body, timescale);
  Append32(body, duration);
  Append32(body, 0);
  return Mp4Box("mdhd", body);
}

Bytes Stsz(std::initializer_list<uint32_t> sizes) {
  Bytes body(8);
  Append32(body, static_cast<uint32_t>(sizes.size()));
  for (uint32_t s : sizes) Append32(body, s);
  return Mp4Box("stsz", body);
}

const Bytes kFtyp = Mp4Box("ftyp", {'M', '4', 'A', ' ', 0, 0, 0, 0});

Bytes Moov(const Bytes& tracks, const Bytes& meta) {
  return Mp4Box("moov", Join({tracks, Mp4Box("udta", meta)}));
}

Bytes SmallFile() {
  return Join({kFtyp,
               Moov(Track("soun", AacEntry(2, 44100), Mdhd0(44100, 44100 * 3), Stsz({100, 200})),
                    Meta(Ilst(), true)),
               Mp4Box("mdat", Bytes(300, 0x55))});
}

bool Read(const Bytes& bytes, AudioProperties& p, FormatTexts& t) {
  MemoryFile file(bytes);
  return ReadMp4File(file, p, t);
}

TEST(Mp4File, ItunesItemsAndTheAudioTrack) {
  for (bool fullMeta : {true, false}) {
    const Bytes bytes =
        Join({kFtyp,
              Moov(Join({Track("vide", AacEntry(6, 8000), Mdhd0(1, 99), Stsz({9})),
                         Track("soun", AacEntry(2, 0), Mdhd0(44100, 44100 * 3), Stsz({100, 200}))}),
                   Meta(Ilst(), fullMeta)),
              Mp4Box("mdat", Bytes(300, 0x55))});
    AudioProperties p;
    FormatTexts t;
    ASSERT_TRUE(Read(bytes, p, t)) << fullMeta;
    EXPECT_EQ(t.title, "日本語の題名🎵");
    EXPECT_EQ(t.artist, "一人目; 😀 two");
    EXPECT_EQ(t.year, "2001");
    EXPECT_EQ(t.track, "3/12");
    EXPECT_EQ(t.disc, "1");
    EXPECT_EQ(t.genre, "Rock");  // ID3v1 genre 17
    EXPECT_EQ(t.albumArtist, "AA");
    EXPECT_EQ(t.comment, "");
    EXPECT_EQ(p.format, "AAC");
    EXPECT_EQ(p.channels, 2);
    EXPECT_EQ(p.samplingRate, 44100);
    EXPECT_EQ(p.bitsPerSample, 0);
    EXPECT_DOUBLE_EQ(p.seconds, 3.0);
    EXPECT_EQ(p.audioBytes, 300u);
  }
}

TEST(Mp4File, RepeatedItemsAddTheirValues) {
  const Bytes ilst =
      Mp4Box("ilst", Join({Mp4Box("\xA9"
                                  "ART",
                                  Text("one")),
                           Mp4Box("trkn", Pair(3, 0)), Mp4Box("\xA9gen", Text("Jazz")),
                           Mp4Box("\xA9"
                                  "ART",
                                  Join({Text("two"), Text("three")})),
                           Mp4Box("trkn", Pair(4, 0)), Mp4Box("gnre", Mp4Data(0, {0, 18}))}));
  AudioProperties p;
  FormatTexts t;
  ASSERT_TRUE(Read(Join({kFtyp, Moov(Bytes(), Meta(ilst, true))}), p, t));
  EXPECT_EQ(t.artist, "one; two; three");
  EXPECT_EQ(t.track, "3");
  EXPECT_EQ(t.genre, "Jazz");
}

TEST(Mp4File, TextsInEveryEncodingATextItemTakes) {
  const Bytes utf16 = {0x65, 0xE5, 0xD8, 0x3C, 0xDF, 0xB5};  // 日🎵
  const Bytes ilst = Mp4Box("ilst", Join({Mp4Box("\xA9nam", Mp4Data(0, {'i', 'm', 'p'})),
                                          Mp4Box("\xA9"
                                                 "alb",
                                                 Mp4Data(2, utf16)),
                                          Mp4Box("\xA9"
                                                 "cmt",
                                                 Mp4Data(1, {'a', 0xFF, 'b'})),
                                          Mp4Box("\xA9"
                                                 "ART",
                                                 Mp4Data(21, {0, 7}))}));
  AudioProperties p;
  FormatTexts t;
  ASSERT_TRUE(Read(Join({kFtyp, Moov(Bytes(), Meta(ilst, true))}), p, t));
  EXPECT_EQ(t.title, "imp");
  EXPECT_EQ(t.album, "日🎵");
  EXPECT_EQ(t.comment,
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(t.artist, "");  // an integer is no text
}

TEST(Mp4File, QuickTimeSoundDescriptionWithItsWaveBox) {
  Bytes body = {0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0};  // version 1
  Append16(body, 2);
  Append16(body, 16);
  Append32(body, 0);
  Append32(body, 0);
  body.resize(body.size() + 16);  // the version 1 packet fields
  // AAC LC at 48000 Hz, one channel.
  const Bytes esds = {0, 0, 0, 0, 3, 25, 0, 1, 0, 4, 17,   0x40, 0x15, 0, 0, 0,
                      0, 0, 0, 0, 0, 0,  0, 0, 5, 2, 0x11, 0x88, 6,    1, 2};
  const Bytes wave =
      Mp4Box("wave", Join({Mp4Box("frma", {'m', 'p', '4', 'a'}), Mp4Box("esds", esds), Bytes(8)}));
  const Bytes entry = Mp4Box("mp4a", Join({body, wave}));
  AudioProperties p;
  FormatTexts t;
  ASSERT_TRUE(Read(
      Join({kFtyp, Moov(Track("soun", entry, Mdhd0(48000, 48000), Stsz({5})), Bytes())}), p, t));
  EXPECT_EQ(p.format, "AAC");
  EXPECT_EQ(p.channels, 1);
  EXPECT_EQ(p.samplingRate, 48000);
}

TEST(Mp4File, AlacCookieAndLongMediaHeader) {
  Bytes mdhd1(20);  // version 1: 64-bit times
  mdhd1[0] = 1;
  Append32(mdhd1, 96000);
  Append64(mdhd1, 96000ull * 5);
  Append32(mdhd1, 0);
  const Bytes bytes = Join(
      {kFtyp, Moov(Track("soun", AlacEntry(24, 1, 96000), Mp4Box("mdhd", mdhd1), Bytes()), Bytes()),
       Mp4Box("mdat", Bytes(40))});
  AudioProperties p;
  FormatTexts t;
  ASSERT_TRUE(Read(bytes, p, t));
  EXPECT_EQ(p.format, "ALAC");
  EXPECT_EQ(p.bitsPerSample, 24);
  EXPECT_EQ(p.channels, 1);
  EXPECT_EQ(p.samplingRate, 96000);
  EXPECT_DOUBLE_EQ(p.seconds, 5.0);
  EXPECT_EQ(p.audioBytes, 40u);  // no stsz: the mdat's payload
}

TEST(Mp4File, LargeAndToTheEndSizes) {
  // moov after an mdat with a 64-bit size, then an mdat running to the end.
  Bytes mdat64;
  Append32(mdat64, 1);
  mdat64.insert(mdat64.end(), {'m', 'd', 'a', 't'});
  Append64(mdat64, 16 + 50);
  mdat64.resize(16 + 50, 0x55);
  const Bytes moov =
      Moov(Track("soun", AacEntry(2, 44100), Mdhd0(1000, 2500), Stsz({})), Meta(Ilst(), true));
  Bytes toEnd = Mp4Box("mdat", Bytes(30));
  std::fill(toEnd.begin(), toEnd.begin() + 4, 0);
  AudioProperties p;
  FormatTexts t;
  ASSERT_TRUE(Read(Join({kFtyp, mdat64, moov, toEnd}), p, t));
  EXPECT_EQ(t.title, "日本語の題名🎵");
  EXPECT_DOUBLE_EQ(p.seconds, 2.5);
  EXPECT_EQ(p.audioBytes, 80u);
  // A 64-bit size smaller than its own header is damage.
  Bytes bad = mdat64;
  std::fill(bad.begin() + 8, bad.begin() + 16, 0);
  bad[15] = 8;
  EXPECT_FALSE(Read(Join({kFtyp, bad, moov}), p, t));
  EXPECT_EQ(t.title, "");
}

TEST(Mp4File, DamageGivesNothingOrWhatStands) {
  AudioProperties p;
  FormatTexts t;
  Bytes past = SmallFile();
  past[past.size() - 308 + 3] += 1;  // the mdat one byte past the end
  EXPECT_FALSE(Read(past, p, t));
  EXPECT_FALSE(Read(Join({Mp4Box("free", {}), SmallFile()}), p, t));  // no ftyp first
  // An item running past the ilst ends the items, keeping those read.
  Bytes ilst = Ilst();
  const Bytes tail = Mp4Box("aART", Text("AA"));
  ilst[ilst.size() - tail.size() + 3] = 0xF0;
  ASSERT_TRUE(Read(Join({kFtyp, Moov(Bytes(), Meta(ilst, true))}), p, t));
  EXPECT_EQ(t.track, "3/12");
  EXPECT_EQ(t.albumArtist, "");
  // Sample sizes that claim more than the file holds are not the audio.
  const Bytes claims =
      Join({kFtyp,
            Moov(Track("soun", AacEntry(2, 44100), Mdhd0(1, 1), Stsz({0xFFFFFFF0, 0xFFFFFFF0})),
                 Bytes()),
            Mp4Box("mdat", Bytes(20))});
  ASSERT_TRUE(Read(claims, p, t));
  EXPECT_EQ(p.audioBytes, 20u);
}

TEST(Mp4File, EveryTruncationIsSafe) {
  const Bytes whole = SmallFile();
  for (size_t n = 0; n < whole.size(); ++n) {
    AudioProperties p;
    FormatTexts t;
    const bool read = Read(Bytes(whole.begin(), whole.begin() + n), p, t);
    EXPECT_LE(p.audioBytes, n);
    if (!read) EXPECT_EQ(t.title, "") << n;
  }
}

// A file of `size` bytes: `head` at its start, `middle` at `middleAt`,
// zeros elsewhere; it counts what is read.
class SparseFile : public RandomAccessFile {
 public:
  SparseFile(Bytes head, uint64_t middleAt, Bytes middle, uint64_t size)
      : head_(std::move(head)), middle_(std::move(middle)), middleAt_(middleAt), size_(size) {}
  uint64_t Size() const override { return size_; }
  bool ReadAt(uint64_t offset, void* buffer, size_t n, size_t& got) override {
    got = offset >= size_ ? 0 : static_cast<size_t>(std::min<uint64_t>(n, size_ - offset));
    largestRead = std::max<uint64_t>(largestRead, got);
    totalRead += got;
    auto* out = static_cast<uint8_t*>(buffer);
    for (size_t i = 0; i < got; ++i) {
      const uint64_t at = offset + i;
      out[i] = at < head_.size()                                    ? head_[at]
               : at >= middleAt_ && at - middleAt_ < middle_.size() ? middle_[at - middleAt_]
                                                                    : 0;
    }
    return true;
  }
  bool WriteAt(uint64_t, const void*, size_t) override { return false; }
  bool Resize(uint64_t) override { return false; }
  bool Flush() override { return true; }
  uint64_t largestRead = 0, totalRead = 0;

 private:
  Bytes head_, middle_;
  uint64_t middleAt_, size_;
};

TEST(Mp4File, SeeksPastGigabytesAndNeverTrustsAClaimedSize) {
  // 6 GB of mdat before moov, whose ilst ends with a 300 MB comment item.
  const uint64_t mdatSize = 6ull << 30, itemSize = 300u << 20;
  Bytes head = kFtyp;
  Append32(head, 1);
  head.insert(head.end(), {'m', 'd', 'a', 't'});
  Append64(head, mdatSize);
  const Bytes track = Track("soun", AacEntry(2, 44100), Mdhd0(10, 60), Stsz({7}));
  const Bytes hdlr = Mp4Box("hdlr", Join({Bytes(8), {'m', 'd', 'i', 'r'}, Bytes(13)}));
  const Bytes items = Ilst();
  const uint64_t ilstSize = items.size() + itemSize;
  const uint64_t metaSize = 12 + hdlr.size() + ilstSize, udtaSize = 8 + metaSize;
  const uint64_t moovSize = 8 + track.size() + udtaSize;
  Bytes moov;
  Append32(moov, static_cast<uint32_t>(moovSize));
  moov.insert(moov.end(), {'m', 'o', 'o', 'v'});
  moov.insert(moov.end(), track.begin(), track.end());
  Append32(moov, static_cast<uint32_t>(udtaSize));
  moov.insert(moov.end(), {'u', 'd', 't', 'a'});
  Append32(moov, static_cast<uint32_t>(metaSize));
  moov.insert(moov.end(), {'m', 'e', 't', 'a', 0, 0, 0, 0});
  moov.insert(moov.end(), hdlr.begin(), hdlr.end());
  Append32(moov, static_cast<uint32_t>(ilstSize));
  moov.insert(moov.end(), {'i', 'l', 's', 't'});
  moov.insert(moov.end(), items.begin() + 8, items.end());
  Append32(moov, static_cast<uint32_t>(itemSize));
  moov.insert(moov.end(), {0xA9, 'c', 'm', 't'});
  Append32(moov, static_cast<uint32_t>(itemSize - 8));
  moov.insert(moov.end(), {'d', 'a', 't', 'a', 0, 0, 0, 1});
  const uint64_t moovAt = kFtyp.size() + mdatSize;
  SparseFile file(head, moovAt, moov, moovAt + moovSize);
  AudioProperties p;
  FormatTexts t;
  ASSERT_TRUE(ReadMp4File(file, p, t));
  EXPECT_EQ(t.title, "日本語の題名🎵");
  EXPECT_EQ(t.comment, "");
  EXPECT_DOUBLE_EQ(p.seconds, 6.0);
  EXPECT_EQ(p.audioBytes, 7u);
  EXPECT_LE(file.largestRead, 64u * 1024);
  EXPECT_LE(file.totalRead, 64u * 1024);
}

}  // namespace
}  // namespace vbmp3
