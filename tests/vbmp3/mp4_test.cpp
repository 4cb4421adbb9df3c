#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "vbmp3/src/mp4/mp4_file.h"

namespace vbmp3 {
namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v));
}
void Put32(Bytes& out, uint32_t v) {
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Put64(Bytes& out, uint64_t v) {
  Put32(out, static_cast<uint32_t>(v >> 32));
  Put32(out, static_cast<uint32_t>(v));
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes Box(const std::string& type, const Bytes& body) {
  Bytes out;
  Put32(out, static_cast<uint32_t>(body.size() + 8));
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

Bytes Data(uint32_t typeCode, const Bytes& value) {
  Bytes body;
  Put32(body, typeCode);
  Put32(body, 0);  // locale
  return Box("data", Join({body, value}));
}
Bytes Text(const std::string& s) { return Data(1, Bytes(s.begin(), s.end())); }
Bytes Pair(uint32_t number, uint32_t total) {
  Bytes v = {0, 0};
  Put16(v, number);
  Put16(v, total);
  return Data(0, v);
}

Bytes Ilst() {
  return Box("ilst",
             Join({Box("\xA9nam", Text("日本語の題名🎵")),
                   Box("\xA9"
                       "ART",
                       Join({Text("一人目"), Text("😀 two")})),
                   Box("----", Join({Box("mean", Bytes(8)), Box("name", Bytes(8)), Text("free")})),
                   Box("covr", Data(13, Bytes(64, 0xFF))),
                   Box("\xA9"
                       "day",
                       Text("2001-02-03")),
                   Box("trkn", Pair(3, 12)), Box("disk", Pair(1, 0)), Box("gnre", Data(0, {0, 18})),
                   Box("aART", Text("AA"))}));
}

Bytes Meta(const Bytes& ilst, bool fullBox) {
  const Bytes hdlr = Box("hdlr", Join({Bytes(8), {'m', 'd', 'i', 'r'}, Bytes(13)}));
  return Box("meta", Join({fullBox ? Bytes(4) : Bytes(), hdlr, ilst}));
}

Bytes AacEntry(uint32_t channels, uint32_t rate) {
  Bytes body = {0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0};
  Put16(body, channels);
  Put16(body, 16);
  Put32(body, 0);
  Put32(body, rate << 16);
  // ES descriptor, decoder configuration, AAC LC 44100 Hz stereo.
  const Bytes esds = {0, 0, 0, 0, 3, 25, 0, 1, 0, 4, 17,   0x40, 0x15, 0, 0, 0,
                      0, 0, 0, 0, 0, 0,  0, 0, 5, 2, 0x12, 0x10, 6,    1, 2};
  return Box("mp4a", Join({body, Box("esds", esds)}));
}

Bytes AlacEntry(uint32_t bits, uint32_t channels, uint32_t rate) {
  Bytes body = {0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0};
  Put16(body, 2);
  Put16(body, 16);
  Put32(body, 0);
  Put32(body, 0);  // the 16.16 rate cannot say 96000
  Bytes cookie(4);
  Put32(cookie, 4096);
  cookie.insert(cookie.end(), {0, static_cast<uint8_t>(bits), 40, 10, 14,
                               static_cast<uint8_t>(channels), 0, 255});
  Put32(cookie, 0);
  Put32(cookie, 0);
  Put32(cookie, rate);
  return Box("alac", Join({body, Box("alac", cookie)}));
}

Bytes Track(const std::string& handler, const Bytes& entry, const Bytes& mdhd, const Bytes& stsz) {
  const Bytes hdlr =
      Box("hdlr", Join({Bytes(8), Bytes(handler.begin(), handler.end()), Bytes(13)}));
  const Bytes stsd = Box("stsd", Join({Bytes{0, 0, 0, 0, 0, 0, 0, 1}, entry}));
  return Box("trak", Box("mdia", Join({mdhd, hdlr, Box("minf", Box("stbl", Join({stsd, stsz})))})));
}

Bytes Mdhd0(uint32_t timescale, uint32_t duration) {
  Bytes body(12);
  Put32(body, timescale);
  Put32(body, duration);
  Put32(body, 0);
  return Box("mdhd", body);
}

Bytes Stsz(std::initializer_list<uint32_t> sizes) {
  Bytes body(8);
  Put32(body, static_cast<uint32_t>(sizes.size()));
  for (uint32_t s : sizes) Put32(body, s);
  return Box("stsz", body);
}

const Bytes kFtyp = Box("ftyp", {'M', '4', 'A', ' ', 0, 0, 0, 0});

Bytes Moov(const Bytes& tracks, const Bytes& meta) {
  return Box("moov", Join({tracks, Box("udta", meta)}));
}

Bytes SmallFile() {
  return Join({kFtyp,
               Moov(Track("soun", AacEntry(2, 44100), Mdhd0(44100, 44100 * 3), Stsz({100, 200})),
                    Meta(Ilst(), true)),
               Box("mdat", Bytes(300, 0x55))});
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
              Box("mdat", Bytes(300, 0x55))});
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
  const Bytes ilst = Box("ilst", Join({Box("\xA9"
                                           "ART",
                                           Text("one")),
                                       Box("trkn", Pair(3, 0)), Box("\xA9gen", Text("Jazz")),
                                       Box("\xA9"
                                           "ART",
                                           Join({Text("two"), Text("three")})),
                                       Box("trkn", Pair(4, 0)), Box("gnre", Data(0, {0, 18}))}));
  AudioProperties p;
  FormatTexts t;
  ASSERT_TRUE(Read(Join({kFtyp, Moov(Bytes(), Meta(ilst, true))}), p, t));
  EXPECT_EQ(t.artist, "one; two; three");
  EXPECT_EQ(t.track, "3");
  EXPECT_EQ(t.genre, "Jazz");
}

TEST(Mp4File, TextsInEveryEncodingATextItemTakes) {
  const Bytes utf16 = {0x65, 0xE5, 0xD8, 0x3C, 0xDF, 0xB5};  // 日🎵
  const Bytes ilst = Box("ilst", Join({Box("\xA9nam", Data(0, {'i', 'm', 'p'})),
                                       Box("\xA9"
                                           "alb",
                                           Data(2, utf16)),
                                       Box("\xA9"
                                           "cmt",
                                           Data(1, {'a', 0xFF, 'b'})),
                                       Box("\xA9"
                                           "ART",
                                           Data(21, {0, 7}))}));
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
  Put16(body, 2);
  Put16(body, 16);
  Put32(body, 0);
  Put32(body, 0);
  body.resize(body.size() + 16);  // the version 1 packet fields
  // AAC LC at 48000 Hz, one channel.
  const Bytes esds = {0, 0, 0, 0, 3, 25, 0, 1, 0, 4, 17,   0x40, 0x15, 0, 0, 0,
                      0, 0, 0, 0, 0, 0,  0, 0, 5, 2, 0x11, 0x88, 6,    1, 2};
  const Bytes wave =
      Box("wave", Join({Box("frma", {'m', 'p', '4', 'a'}), Box("esds", esds), Bytes(8)}));
  const Bytes entry = Box("mp4a", Join({body, wave}));
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
  Put32(mdhd1, 96000);
  Put64(mdhd1, 96000ull * 5);
  Put32(mdhd1, 0);
  const Bytes bytes = Join(
      {kFtyp, Moov(Track("soun", AlacEntry(24, 1, 96000), Box("mdhd", mdhd1), Bytes()), Bytes()),
       Box("mdat", Bytes(40))});
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
  Put32(mdat64, 1);
  mdat64.insert(mdat64.end(), {'m', 'd', 'a', 't'});
  Put64(mdat64, 16 + 50);
  mdat64.resize(16 + 50, 0x55);
  const Bytes moov =
      Moov(Track("soun", AacEntry(2, 44100), Mdhd0(1000, 2500), Stsz({})), Meta(Ilst(), true));
  Bytes toEnd = Box("mdat", Bytes(30));
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
  EXPECT_FALSE(Read(Join({Box("free", {}), SmallFile()}), p, t));  // no ftyp first
  // An item running past the ilst ends the items, keeping those read.
  Bytes ilst = Ilst();
  const Bytes tail = Box("aART", Text("AA"));
  ilst[ilst.size() - tail.size() + 3] = 0xF0;
  ASSERT_TRUE(Read(Join({kFtyp, Moov(Bytes(), Meta(ilst, true))}), p, t));
  EXPECT_EQ(t.track, "3/12");
  EXPECT_EQ(t.albumArtist, "");
  // Sample sizes that claim more than the file holds are not the audio.
  const Bytes claims =
      Join({kFtyp,
            Moov(Track("soun", AacEntry(2, 44100), Mdhd0(1, 1), Stsz({0xFFFFFFF0, 0xFFFFFFF0})),
                 Bytes()),
            Box("mdat", Bytes(20))});
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
  Put32(head, 1);
  head.insert(head.end(), {'m', 'd', 'a', 't'});
  Put64(head, mdatSize);
  const Bytes track = Track("soun", AacEntry(2, 44100), Mdhd0(10, 60), Stsz({7}));
  const Bytes hdlr = Box("hdlr", Join({Bytes(8), {'m', 'd', 'i', 'r'}, Bytes(13)}));
  const Bytes items = Ilst();
  const uint64_t ilstSize = items.size() + itemSize;
  const uint64_t metaSize = 12 + hdlr.size() + ilstSize, udtaSize = 8 + metaSize;
  const uint64_t moovSize = 8 + track.size() + udtaSize;
  Bytes moov;
  Put32(moov, static_cast<uint32_t>(moovSize));
  moov.insert(moov.end(), {'m', 'o', 'o', 'v'});
  moov.insert(moov.end(), track.begin(), track.end());
  Put32(moov, static_cast<uint32_t>(udtaSize));
  moov.insert(moov.end(), {'u', 'd', 't', 'a'});
  Put32(moov, static_cast<uint32_t>(metaSize));
  moov.insert(moov.end(), {'m', 'e', 't', 'a', 0, 0, 0, 0});
  moov.insert(moov.end(), hdlr.begin(), hdlr.end());
  Put32(moov, static_cast<uint32_t>(ilstSize));
  moov.insert(moov.end(), {'i', 'l', 's', 't'});
  moov.insert(moov.end(), items.begin() + 8, items.end());
  Put32(moov, static_cast<uint32_t>(itemSize));
  moov.insert(moov.end(), {0xA9, 'c', 'm', 't'});
  Put32(moov, static_cast<uint32_t>(itemSize - 8));
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
