#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tests/vbmp3/synth.h"
#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/io/byte_order.h"
#include "vbmp3/src/mp4/mp4_file.h"
#include "vbmp3/src/mp4/mp4_write.h"

namespace vbmp3 {
namespace {

using synth::Append32;
using synth::Bytes;
using synth::Join;
using synth::Mp4Box;
using synth::Mp4Data;

Bytes Text(const std::string& s) { return Mp4Data(1, Bytes(s.begin(), s.end())); }

const std::string kArt =
    "\xA9"
    "ART";
const std::string kDay =
    "\xA9"
    "day";

// Items a write must keep byte for byte, between the text items.
const Bytes kCover = Mp4Box("covr", Mp4Data(13, Bytes(40, 0xD8)));
const Bytes kFree =
    Mp4Box("----", Join({Mp4Box("mean", Bytes(4)), Mp4Box("name", Bytes(4)), Text("x")}));
const Bytes kTrack = Mp4Box("trkn", Mp4Data(0, {0, 0, 0, 3, 0, 12, 0, 0}));

Bytes OldIlst() {
  return Mp4Box("ilst",
                Join({Mp4Box("\xA9nam", Text("Old title")), kCover,
                      Mp4Box(kArt, Join({Text("one"), Text("two")})), kFree,
                      Mp4Box("gnre", Mp4Data(0, {0, 18})), kTrack, Mp4Box(kDay, Text("1999"))}));
}

Bytes Meta(const Bytes& ilst, size_t padding = 0) {
  return Mp4Box("meta",
                Join({Bytes(4), Mp4Box("hdlr", Join({Bytes(8), {'m', 'd', 'i', 'r'}, Bytes(13)})),
                      ilst, padding ? Mp4Box("free", Bytes(padding - 8)) : Bytes()}));
}

// A track whose chunk offset table (stco, or co64) holds the offsets.
Bytes Trak(const std::vector<uint64_t>& offsets, bool wide, const std::string& entry = "mp4a") {
  Bytes table = {0, 0, 0, 0};
  Append32(table, static_cast<uint32_t>(offsets.size()));
  for (uint64_t o : offsets) {
    if (wide) Append32(table, static_cast<uint32_t>(o >> 32));
    Append32(table, static_cast<uint32_t>(o));
  }
  const Bytes stsd =
      Mp4Box("stsd", Join({Bytes{0, 0, 0, 0, 0, 0, 0, 1}, Mp4Box(entry, Bytes(28))}));
  return Mp4Box(
      "trak",
      Mp4Box("mdia",
             Mp4Box("minf", Mp4Box("stbl", Join({stsd, Mp4Box(wide ? "co64" : "stco", table)})))));
}

const Bytes kFtyp = Mp4Box("ftyp", {'M', '4', 'A', ' ', 0, 0, 0, 0});

Bytes Mdat() {
  Bytes body(600);
  for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<uint8_t>(i * 7 + i / 256);
  return Mp4Box("mdat", body);
}

struct Shape {
  bool moovFirst = true;
  size_t freeAfter = 0;  // the free box after the moov, 0: none
  bool tag = true;
  size_t padding = 0;  // the free box after the ilst in its meta
};

// ftyp, then moov and mdat in either order; two tracks (stco and co64)
// pointing at bytes 0, 100 and 400 of the mdat's body.
Bytes File(const Shape& s, const Bytes& extraMoov = {}) {
  auto moovWith = [&](uint64_t mdatBody) {
    const Bytes tracks =
        Join({Trak({mdatBody, mdatBody + 100}, false), Trak({mdatBody + 400}, true)});
    return Mp4Box("moov", Join({tracks, extraMoov,
                                s.tag ? Mp4Box("udta", Meta(OldIlst(), s.padding)) : Bytes()}));
  };
  const Bytes free = s.freeAfter ? Mp4Box("free", Bytes(s.freeAfter - 8)) : Bytes();
  if (!s.moovFirst) return Join({kFtyp, Mdat(), moovWith(kFtyp.size() + 8), free});
  const size_t moovSize = moovWith(0).size();
  return Join({kFtyp, moovWith(kFtyp.size() + moovSize + free.size() + 8), free, Mdat()});
}

std::vector<uint64_t> ChunkOffsets(const Bytes& f) {
  std::vector<uint64_t> out;
  for (const char* name : {"stco", "co64"}) {
    auto it = std::search(f.begin(), f.end(), name, name + 4);
    if (it == f.end()) continue;
    const size_t at = static_cast<size_t>(it - f.begin()) + 12;
    const size_t width = name[0] == 'c' ? 8 : 4;
    const uint32_t count = ReadBE32(&f[at - 4]);
    for (uint32_t i = 0; i < count; ++i) {
      uint64_t v = 0;
      for (size_t b = 0; b < width; ++b) v = (v << 8) | f[at + i * width + b];
      out.push_back(v);
    }
  }
  return out;
}

// The samples are where the chunk offsets say, before and after.
void ExpectSamplesFound(const Bytes& before, const Bytes& after) {
  const std::vector<uint64_t> was = ChunkOffsets(before), now = ChunkOffsets(after);
  ASSERT_EQ(was.size(), 3u);
  ASSERT_EQ(now.size(), 3u);
  for (size_t i = 0; i < was.size(); ++i) {
    ASSERT_LE(now[i] + 32, after.size());
    EXPECT_EQ(0, std::memcmp(&before[was[i]], &after[now[i]], 32)) << i;
  }
}

bool Contains(const Bytes& haystack, const Bytes& needle) {
  return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) !=
         haystack.end();
}

struct Outcome {
  int32_t error = -1;
  bool replaced = false;
  Bytes bytes;  // the file, or the replacement when it was used
  FormatTexts texts;
};

Outcome Write(const Bytes& input, const FormatTextChanges& changes) {
  MemoryFile file(input), anew;
  Outcome o;
  o.error = WriteMp4Texts(
      file, changes, [&]() -> RandomAccessFile* { return &anew; }, o.replaced);
  o.bytes = o.replaced ? anew.Bytes() : file.Bytes();
  if (o.replaced) EXPECT_EQ(file.Bytes(), input);
  MemoryFile result(o.bytes);
  AudioProperties p;
  if (o.error == 0) EXPECT_TRUE(ReadMp4File(result, p, o.texts));
  return o;
}

FormatTextChanges TitleChange(const std::string& title) {
  FormatTextChanges c;
  c.title = title;
  return c;
}

TEST(Mp4Write, OnlyTheChangedItemsAreReplacedTheOthersKeepTheirBytesAndOrder) {
  FormatTextChanges c;
  c.artist = "新しい人; 😀 two";
  c.genre = "Jazz";
  c.comment = "added";
  c.year = "";
  const Bytes input = File({true, 4096, true});
  const Outcome o = Write(input, c);
  ASSERT_EQ(o.error, 0);
  EXPECT_FALSE(o.replaced);
  EXPECT_EQ(o.bytes.size(), input.size());
  EXPECT_EQ(o.texts.title, "Old title");
  EXPECT_EQ(o.texts.artist, "新しい人; 😀 two");
  EXPECT_EQ(o.texts.genre, "Jazz");
  EXPECT_EQ(o.texts.comment, "added");
  EXPECT_EQ(o.texts.year, "");
  EXPECT_EQ(o.texts.track, "3/12");
  // Cover, freeform, the artist in its old place (with a data box a value),
  // the new genre where gnre was, the track, the comment last.
  const Bytes items = Join({Mp4Box("\xA9nam", Text("Old title")), kCover,
                            Mp4Box(kArt, Join({Text("新しい人"), Text("😀 two")})), kFree,
                            Mp4Box("\xA9gen", Text("Jazz")), kTrack,
                            Mp4Box("\xA9"
                                   "cmt",
                                   Text("added"))});
  EXPECT_TRUE(Contains(o.bytes, Mp4Box("ilst", items)));
  ExpectSamplesFound(input, o.bytes);
}

TEST(Mp4Write, TheMoovGrowsIntoTheFreeBoxAfterItOrTheFileIsWrittenAnew) {
  const std::string longer(300, 'T');
  for (bool moovFirst : {true, false}) {
    for (size_t free : {size_t{0}, size_t{100}, size_t{4096}}) {
      SCOPED_TRACE(testing::Message() << moovFirst << " " << free);
      const Bytes input = File({moovFirst, free, true});
      const Outcome o = Write(input, TitleChange(longer));
      ASSERT_EQ(o.error, 0);
      EXPECT_EQ(o.replaced, free < 300);
      EXPECT_EQ(o.texts.title, longer);
      if (!o.replaced) EXPECT_EQ(o.bytes.size(), input.size());
      EXPECT_TRUE(Contains(o.bytes, kCover));
      EXPECT_TRUE(Contains(o.bytes, Mdat()));
      ExpectSamplesFound(input, o.bytes);
    }
  }
}

TEST(Mp4Write, TheIlstTakesItsRoomFromTheFreeBoxAfterItInTheMeta) {
  for (size_t padding : {size_t{200}, size_t{108}, size_t{104}}) {
    SCOPED_TRACE(padding);
    const Bytes input = File({true, 0, true, padding});
    // 100 bytes more: the padding is left with 100, 8 or -4 bytes.
    const Outcome o = Write(input, TitleChange("Old title" + std::string(100, '+')));
    ASSERT_EQ(o.error, 0);
    EXPECT_EQ(o.replaced, padding < 108);
    EXPECT_EQ(o.texts.title, "Old title" + std::string(100, '+'));
    if (!o.replaced) EXPECT_EQ(o.bytes.size(), input.size());
    ExpectSamplesFound(input, o.bytes);
  }
}

TEST(Mp4Write, AnItemRunningToTheEndOfTheIlstGetsItsSizeSoThatNewItemsFollowIt) {
  Bytes cover = kCover;
  cover[0] = cover[1] = cover[2] = cover[3] = 0;  // last, and "to the end of the ilst"
  const Bytes input = Join(
      {kFtyp,
       Mp4Box("moov",
              Join({Trak({}, false),
                    Mp4Box("udta", Meta(Mp4Box("ilst", Join({Mp4Box(kArt, Text("a")), cover}))))})),
       Mdat()});
  const Outcome o = Write(input, TitleChange("new"));
  ASSERT_EQ(o.error, 0);
  EXPECT_EQ(o.texts.title, "new");
  EXPECT_EQ(o.texts.artist, "a");
  EXPECT_TRUE(Contains(o.bytes, Join({kCover, Mp4Box("\xA9nam", Text("new"))})));
}

TEST(Mp4Write, AShorterMoovLeavesAFreeBoxOfAtLeastAHeader) {
  // "Old title" (9 bytes) to 5 bytes leaves 4: no box; to 1 byte, 8: a free box.
  for (size_t length : {size_t{5}, size_t{1}}) {
    const Bytes input = File({true, 0, true});
    const Outcome o = Write(input, TitleChange(std::string(length, 'a')));
    ASSERT_EQ(o.error, 0);
    EXPECT_EQ(o.replaced, length == 5);
    EXPECT_EQ(o.texts.title, std::string(length, 'a'));
    ExpectSamplesFound(input, o.bytes);
  }
}

TEST(Mp4Write, AFileWithoutATagGetsOneAsItunesWritesIt) {
  FormatTextChanges c;
  c.title = "Café 노래 ☆";
  c.year = "2024-05-06";
  const Bytes input = File({true, 0, false});
  const Outcome o = Write(input, c);
  ASSERT_EQ(o.error, 0);
  EXPECT_TRUE(o.replaced);
  EXPECT_EQ(o.texts.title, "Café 노래 ☆");
  EXPECT_EQ(o.texts.year, "2024");
  const Bytes hdlr =
      Mp4Box("hdlr", Join({Bytes(8), {'m', 'd', 'i', 'r', 'a', 'p', 'p', 'l'}, Bytes(9)}));
  EXPECT_TRUE(Contains(o.bytes, Join({Bytes(4), hdlr})));
  ExpectSamplesFound(input, o.bytes);
}

TEST(Mp4Write, FragmentedProtectedAndUnmovableFilesAreRefusedUnchanged) {
  const Bytes mvex = Mp4Box("mvex", Mp4Box("trex", Bytes(24)));
  const Bytes sinf = Mp4Box(
      "trak",
      Mp4Box("mdia",
             Mp4Box("minf",
                    Mp4Box("stbl",
                           Mp4Box("stsd",
                                  Join({Bytes(8),
                                        Mp4Box("mp4a",
                                               Join({Bytes(28), Mp4Box("sinf", Bytes(8))}))}))))));
  const Bytes drms = Trak({}, false, "drms");
  const Bytes moof = Join({File({true, 0, true}), Mp4Box("moof", Mp4Box("mfhd", Bytes(8)))});
  // A chunk at 4 GiB - 1: moving it by the moov's growth would pass 32 bits.
  const Bytes far = Join(
      {kFtyp, Mp4Box("moov", Join({Trak({0xFFFFFFF0u}, false), Mp4Box("udta", Meta(OldIlst()))})),
       Mdat()});
  const std::pair<Bytes, int32_t> cases[] = {
      {File({true, 0, true}, mvex), VBMP3_ERR_MP4_LAYOUT},
      {File({true, 0, true}, sinf), VBMP3_ERR_MP4_LAYOUT},
      {File({true, 0, true}, drms), VBMP3_ERR_MP4_LAYOUT},
      {moof, VBMP3_ERR_MP4_LAYOUT},
      {far, VBMP3_ERR_MP4_LAYOUT},
      {Join({Mp4Box("moov", Bytes()), kFtyp}), VBMP3_ERR_NOT_AUDIO},
      {Bytes(kFtyp.begin(), kFtyp.end() - 1), VBMP3_ERR_NOT_AUDIO},
  };
  for (const auto& [input, error] : cases) {
    MemoryFile file(input);
    bool replaced = true, asked = false;
    EXPECT_EQ(WriteMp4Texts(
                  file, TitleChange(std::string(400, 'x')),
                  [&]() -> RandomAccessFile* {
                    asked = true;
                    return nullptr;
                  },
                  replaced),
              error);
    EXPECT_FALSE(replaced);
    EXPECT_FALSE(asked);
    EXPECT_EQ(file.Bytes(), input);
  }
}

TEST(Mp4Write, DamageBeforeWhereTheItemsGoIsRefusedUnchanged) {
  // The udta claims 16 bytes past the end of its moov: a new udta after it
  // would make the moov long enough to show the old one again.
  Bytes udta = Mp4Box("udta", Meta(OldIlst()));
  udta[3] += 16;
  const Bytes input = Join(
      {kFtyp, Mp4Box("moov", Join({Trak({}, false), udta})), Mp4Box("free", Bytes(8)), Mdat()});
  MemoryFile file(input), anew;
  bool replaced = false;
  FormatTextChanges c;
  c.comment = "";  // what the old items say too: reading back cannot tell
  EXPECT_EQ(WriteMp4Texts(
                file, c, [&]() -> RandomAccessFile* { return &anew; }, replaced),
            VBMP3_ERR_TAG_NOT_REWRITABLE);
  EXPECT_EQ(file.Bytes(), input);
}

TEST(Mp4Write, AFailingDiskLeavesTheFileAsItWas) {
  const Bytes input = File({true, 4096, true});
  for (uint64_t budget : {uint64_t{0}, uint64_t{50}, uint64_t{5000}}) {
    MemoryFile file(input), anew;
    file.FailWritesAfter(budget);
    anew.FailWritesAfter(budget);
    bool replaced = false;
    const int32_t error = WriteMp4Texts(
        file, TitleChange("new"), [&]() -> RandomAccessFile* { return &anew; }, replaced);
    if (error != 0) EXPECT_EQ(file.Bytes(), input);
    EXPECT_FALSE(replaced);
  }
  MemoryFile file(File({true, 0, true}));
  bool replaced = false;
  EXPECT_EQ(WriteMp4Texts(file, TitleChange(std::string(400, 'x')), nullptr, replaced),
            VBMP3_ERR_WRITE);
}

TEST(Mp4Write, EveryTruncationIsRefusedUnchangedOrWrittenWhole) {
  const Bytes whole = File({true, 64, true});
  for (size_t n = 0; n <= whole.size(); ++n) {
    const Bytes input(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(n));
    MemoryFile file(input), anew;
    bool replaced = false;
    const int32_t error = WriteMp4Texts(
        file, TitleChange("t; u"), [&]() -> RandomAccessFile* { return &anew; }, replaced);
    if (error != 0) {
      EXPECT_EQ(file.Bytes(), input) << n;
      continue;
    }
    MemoryFile result(replaced ? anew.Bytes() : file.Bytes());
    AudioProperties p;
    FormatTexts t;
    ASSERT_TRUE(ReadMp4File(result, p, t)) << n;
    EXPECT_EQ(t.title, "t; u") << n;
  }
}

}  // namespace
}  // namespace vbmp3
