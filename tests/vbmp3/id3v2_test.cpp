// ID3v2 tags on bytes built here: the frame walk and its limits, text
// encodings and Shift_JIS detection, genres, and the records a file with
// such a tag gets.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/vbmp3/synth.h"
#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/text/cp932.h"
#include "vbmp3/src/file_info.h"
#include "vbmp3/src/id3v2/id3v2_tag.h"
#include "vbmp3/src/text/unicode.h"

namespace {

using synth::Bytes;
using synth::Id3v2Frame;
using synth::Id3v2Tag;
using synth::Join;
using synth::Text;

vbmp3::Id3v2Tag Parse(const Bytes& bytes, bool expectTag = true) {
  vbmp3::Id3v2Tag tag;
  EXPECT_EQ(vbmp3::ParseId3v2Tag(bytes.data(), bytes.size(), tag), expectTag);
  return tag;
}

std::string Genre(std::vector<std::string> values, int expectNumber) {
  int number = -1;
  std::string text = vbmp3::ResolveGenres(values, number);
  EXPECT_EQ(number, expectNumber) << text;
  return text;
}

// "ソフト" in code page 932 (trail bytes 0x5C and 0x74) and in UTF-8.
const std::string kSjis = "\x83\x5C\x83\x74\x83\x67";
const std::string kUtf8 = "\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88";

TEST(Id3v2Frames, EveryVersionsFrameLayout) {
  const Bytes v22 = Id3v2Tag(2, 0,
                             Join({Id3v2Frame(2, "TT2", Text(0, "two")),
                                   Id3v2Frame(2, "TP1", Text(0, "a")), Bytes(30, 0)}));
  EXPECT_EQ(Parse(v22).title, "two");
  EXPECT_EQ(Parse(v22).major, 2);
  // 2.4 sizes are sync-safe: 200 bytes is 0x01 0x48, not 0x00 0xC8.
  const std::string longTitle(199, 'x');
  const Bytes v24 = Id3v2Tag(
      4, 0, Join({Id3v2Frame(4, "TIT2", Text(3, longTitle)), Id3v2Frame(4, "TPE1", Text(3, "b"))}));
  EXPECT_EQ(Parse(v24).title, longTitle);
  EXPECT_EQ(Parse(v24).artist, "b");
  // 2.2's compression flag names no scheme: nothing in such a tag is read.
  EXPECT_EQ(Parse(Id3v2Tag(2, 0x40, Id3v2Frame(2, "TT2", Text(0, "x")))).title, "");
  // Versions we do not know are skipped, not read.
  Parse(Id3v2Tag(5, 0, Id3v2Frame(4, "TIT2", Text(0, "x"))), false);
}

TEST(Id3v2Frames, SizesPastTheTagOrTheBytesEndTheWalk) {
  Bytes frames =
      Join({Id3v2Frame(3, "TIT2", Text(0, "kept")), Id3v2Frame(3, "TPE1", Text(0, "lost"))});
  // The second frame claims 100 bytes more than the tag has.
  frames[10 + 5 + 7] = 100;
  const vbmp3::Id3v2Tag t = Parse(Id3v2Tag(3, 0, frames));
  EXPECT_EQ(t.title, "kept");
  EXPECT_EQ(t.artist, "");
  // A tag that claims more than the file holds is read as far as it goes;
  // the frame cut by the end of the bytes is not read at all.
  Bytes cut = Id3v2Tag(3, 0,
                       Join({Id3v2Frame(3, "TIT2", Text(0, "whole")),
                             Id3v2Frame(3, "TPE1", Text(0, "cut short")), Bytes(500, 0)}));
  cut.resize(10 + 15 + 10 + 4);
  const vbmp3::Id3v2Tag c = Parse(cut);
  EXPECT_EQ(c.title, "whole");
  EXPECT_EQ(c.artist, "");
  // Padding and bytes that are no frame id end it too.
  const Bytes junk = Id3v2Tag(3, 0,
                              Join({Id3v2Frame(3, "TIT2", Text(0, "t")), Bytes{'t', 'i', 't', '2'},
                                    Bytes(6, 0), Id3v2Frame(3, "TPE1", Text(0, "no"))}));
  EXPECT_EQ(Parse(junk).artist, "");
  for (size_t n = 0; n < 10; ++n)
    Parse(Bytes(cut.begin(), cut.begin() + static_cast<long>(n)), false);
}

TEST(Id3v2Frames, WholeTagUnsynchronisation) {
  // "ÿà" in UTF-16LE after a BOM: FF FE FF 00 E0 00, each FF needing a 00.
  const Bytes title = Text(1, std::string("\xFF\xFE\xFF\x00\xE0\x00", 6));
  for (int major : {2, 3}) {
    const Bytes frames = Join({Id3v2Frame(major, major == 2 ? "TT2" : "TIT2", title),
                               Id3v2Frame(major, major == 2 ? "TP1" : "TPE1", Text(0, "\xFF"))});
    const Bytes stored = synth::Unsynchronise(frames);
    ASSERT_GT(stored.size(), frames.size());
    const vbmp3::Id3v2Tag t = Parse(Id3v2Tag(major, 0x80, stored));
    EXPECT_EQ(t.title, "\xC3\xBF\xC3\xA0") << major;
    EXPECT_EQ(t.artist, "\xC3\xBF") << major;
  }
}

TEST(Id3v2Frames, PerFrameUnsynchronisationAndDataLengthIndicator) {
  const Bytes data = Text(1, std::string("\xFF\xFE\xFF\x00\xE0\x00", 6));
  const Bytes stored = synth::Unsynchronise(data);
  const Bytes indicator{0, 0, 0, static_cast<uint8_t>(data.size())};
  const Bytes tag = Id3v2Tag(4, 0,
                             Join({Id3v2Frame(4, "TIT2", Join({indicator, stored}), 0x03),
                                   Id3v2Frame(4, "TPE1", Text(3, "next"))}));
  const vbmp3::Id3v2Tag t = Parse(tag);
  EXPECT_EQ(t.title, "\xC3\xBF\xC3\xA0");
  EXPECT_EQ(t.artist, "next");
  // The indicator says where the data ends; bytes after it are not text.
  const Bytes shorter{0, 0, 0, 3};
  EXPECT_EQ(
      Parse(Id3v2Tag(4, 0, Id3v2Frame(4, "TIT2", Join({shorter, Text(0, "abcdef")}), 0x01))).title,
      "ab");
  // The header's flag makes every 2.4 frame unsynchronised.
  EXPECT_EQ(Parse(Id3v2Tag(4, 0x80, Id3v2Frame(4, "TIT2", stored))).title, "\xC3\xBF\xC3\xA0");
}

TEST(Id3v2Frames, ExtendedHeadersCompressedEncryptedAndGroupedFrames) {
  // 2.3 counts the extended header's size without its size field; 2.4 with it.
  const Bytes v23 = Id3v2Tag(
      3, 0x40,
      Join({Bytes{0, 0, 0, 6, 0, 0, 0, 0, 0, 0}, Id3v2Frame(3, "TIT2", Text(0, "zlib"), 0x80),
            Id3v2Frame(3, "TIT2", Text(0, "secret"), 0x40), Id3v2Frame(3, "TIT2", Text(0, "plain")),
            Id3v2Frame(3, "TPE1", Join({Bytes{7}, Text(0, "grouped")}), 0x20)}));
  EXPECT_EQ(Parse(v23).title, "plain");
  EXPECT_EQ(Parse(v23).artist, "grouped");
  const Bytes v24 =
      Id3v2Tag(4, 0x40,
               Join({Bytes{0, 0, 0, 6, 1, 0},
                     Id3v2Frame(4, "TIT2", Join({Bytes{0, 0, 0, 5}, Text(0, "zlib")}), 0x09),
                     Id3v2Frame(4, "TIT2", Text(0, "secret"), 0x04),
                     Id3v2Frame(4, "TIT2", Join({Bytes{3}, Text(0, "plain")}), 0x40)}));
  EXPECT_EQ(Parse(v24).title, "plain");
  // An extended header larger than the tag leaves nothing to read.
  EXPECT_EQ(Parse(Id3v2Tag(3, 0x40, Join({Bytes{0, 0, 1, 0}, Id3v2Frame(3, "TIT2", Text(0, "x"))})))
                .title,
            "");
}

TEST(Id3v2Text, EncodingsAndValues) {
  auto title = [](int major, const Bytes& data) {
    return Parse(Id3v2Tag(major, 0, Id3v2Frame(major, "TIT2", data))).title;
  };
  // 2.4: NUL separates values, joined with "/"; a final NUL adds none.
  EXPECT_EQ(title(4, Text(3, std::string("a\0b\0", 4))), "a/b");
  // Before 2.4 the text ends at its first NUL.
  EXPECT_EQ(title(3, Text(0, std::string("a\0junk", 6))), "a");
  // UTF-16: each value may carry its own BOM; one without keeps the order.
  EXPECT_EQ(title(4, Text(1, std::string("\xFE\xFF\0x\0\0\xFF\xFEy\0\0\0z\0", 14))), "x/y/z");
  EXPECT_EQ(title(4, Text(2, std::string("\x30\xBD\0\0\0a", 6))), "\xE3\x82\xBD/a");
  // A surrogate pair, and an unpaired surrogate as U+FFFD.
  EXPECT_EQ(title(3, Text(1, std::string("\xFF\xFE\x3C\xD8\xB5\xDF\x3C\xD8", 8))),
            "\xF0\x9F\x8E\xB5\xEF\xBF\xBD");
  // A leading BOM is dropped.
  EXPECT_EQ(title(4, Text(3,
                          "\xEF\xBB\xBF"
                          "a\xC3\xA9")),
            "a\xC3\xA9");
  // An encoding no version defines: the frame is not text.
  EXPECT_EQ(title(4, Text(4, "x")), "");
}

TEST(Id3v2Text, ShiftJisInLatin1FramesOnlyWhenItIsShiftJis) {
  auto title = [](const std::string& bytes) {
    return Parse(Id3v2Tag(3, 0, Id3v2Frame(3, "TIT2", Text(0, bytes)))).title;
  };
  EXPECT_EQ(title(kSjis), kUtf8);
  EXPECT_EQ(title("A " + kSjis + " \xB1"),
            "A " + kUtf8 + " \xEF\xBD\xB1");  // half-width katakana too
  // Latin-1: no double-byte character, or bytes that are no character.
  EXPECT_EQ(title("Caf\xE9"), "Caf\xC3\xA9");
  EXPECT_EQ(title("\xB1\xB2"), "\xC2\xB1\xC2\xB2");        // katakana only: no proof
  EXPECT_EQ(title("\x83\x5C\x80"), "\xC2\x83\\\xC2\x80");  // 0x80 is no character
  EXPECT_EQ(title("\x85\x40"), "\xC2\x85@");               // unassigned pair
  EXPECT_EQ(title("Se\xF1or"), "Se\xC3\xB1or");            // user-defined row
}

TEST(Id3v2Text, Utf8FramesThatAreNotUtf8AreShiftJisOrLatin1NeverU_FFFD) {
  auto read = [](const std::string& bytes) {
    return Parse(Id3v2Tag(4, 0, Id3v2Frame(4, "TIT2", Text(3, bytes))));
  };
  EXPECT_EQ(read(kSjis).title, kUtf8);
  EXPECT_EQ(read(kSjis).shiftJisValues, 1u);  // the title: OK's repair applies
  EXPECT_EQ(read(kUtf8).shiftJisValues, 0u);  // real UTF-8 stays as it is
  EXPECT_EQ(read(kUtf8).title, kUtf8);
  EXPECT_EQ(read("a\xC3").title, "a\xC3\x83");  // neither: Latin-1
  EXPECT_EQ(read("Caf\xE9 \x83").title, "Caf\xC3\xA9 \xC2\x83");
}

TEST(Id3v2Tag, GenreReferences) {
  EXPECT_EQ(Genre({"(17)Rock"}, 17), "Rock");
  EXPECT_EQ(Genre({"(4)Eurodisco"}, 4), "Disco/Eurodisco");
  EXPECT_EQ(Genre({"17"}, 17), "Rock");
  EXPECT_EQ(Genre({"(17)(4)"}, 17), "Rock/Disco");
  EXPECT_EQ(Genre({"RX", "(CR)"}, 255), "Remix/Cover");
  EXPECT_EQ(Genre({"J-Core", "(17)"}, 255), "J-Core/Rock");
  EXPECT_EQ(Genre({"((Not a reference)"}, 255), "(Not a reference)");
  EXPECT_EQ(Genre({"(200)Own"}, 255), "Own");  // a number the table does not name
  EXPECT_EQ(Genre({"1984"}, 255), "1984");     // a bare number that is no reference
  EXPECT_EQ(Genre({"(17"}, 255), "(17");
  EXPECT_EQ(Genre({""}, 255), "");
}

TEST(Id3v2Tag, CommentYearAndTrack) {
  const Bytes tag = Id3v2Tag(
      4, 0,
      Join({Id3v2Frame(4, "COMM", Text(3, std::string("engiTunNORM\0 0000", 17))),
            Id3v2Frame(4, "COMM", Text(1, std::string("jpn\xFF\xFE\0\0\xFF\xFEh\0i\0", 13))),
            Id3v2Frame(4, "TDRC", Text(0, "2004-05-06T10:00")),
            Id3v2Frame(4, "TRCK", Text(0, "3/12"))}));
  const vbmp3::Id3v2Tag t = Parse(tag);
  EXPECT_EQ(t.comment, "hi");
  EXPECT_EQ(t.year, "2004");
  EXPECT_EQ(t.track, "3/12");
  // Only described comments: the first of them. TYER before TDRC.
  const Bytes other = Id3v2Tag(
      3, 0,
      Join({Id3v2Frame(3, "COMM", Text(0, std::string("engd\0first", 10))),
            Id3v2Frame(3, "COMM", Text(0, std::string("enge\0second", 11))),
            Id3v2Frame(3, "TDRC", Text(0, "1999")), Id3v2Frame(3, "TYER", Text(0, "2001"))}));
  EXPECT_EQ(Parse(other).comment, "first");
  EXPECT_EQ(Parse(other).year, "2001");
}

TEST(Cp932, TableRoundTripsAndWindowsChoices) {
  // Every assigned pair decodes to a character that encodes to a pair
  // decoding to it again.
  int pairs = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead >= 0xA0 && lead <= 0xDF) continue;  // single bytes
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string utf8 = vbmp3::Cp932ToUtf8(bytes);
      size_t at = 0;
      vbmp3::NextUtf8(utf8, at);
      if (at != utf8.size()) continue;  // not one character: no pair
      ++pairs;
      const std::string back = vbmp3::Utf8ToCp932(utf8);
      ASSERT_EQ(vbmp3::Cp932ToUtf8(back), utf8) << std::hex << lead << " " << trail;
    }
  }
  EXPECT_EQ(pairs, 9604);  // JIS X 0208, NEC and IBM extensions, user-defined rows
  // Characters in two places: NEC row 13 before IBM, IBM before NEC-selected IBM.
  EXPECT_EQ(vbmp3::Utf8ToCp932("\xE2\x85\xA0"), "\x87\x54");  // U+2160
  EXPECT_EQ(vbmp3::Utf8ToCp932("\xE2\x85\xB0"), "\xFA\x40");  // U+2170
  EXPECT_EQ(vbmp3::Utf8ToCp932("\xEF\xBF\xA2"), "\x81\xCA");  // U+FFE2
  EXPECT_EQ(vbmp3::Utf8ToCp932("\\~\xEF\xBD\xB1"), "\\~\xB1");
  EXPECT_EQ(vbmp3::Utf8ToCp932("\xC3\xA9\xF0\x9F\x8E\xB5"), "??");
}

struct Records {
  TagRecord tag;
  StreamInfoRecord info;
  TagTextsRecord texts;
  vbmp3::TagVersions versions;
};

Records Read(const Bytes& bytes) {
  vbmp3::MemoryFile file(bytes);
  Records r{};
  EXPECT_EQ(vbmp3::ReadFileInfo(file, &r.tag, &r.info, &r.texts, &r.versions), 0);
  return r;
}

const Bytes& Audio() {
  static const Bytes audio = synth::Frames(synth::kMpeg1L3, 10);
  return audio;
}

TEST(Id3v2Records, TagRecordFallsBackToId3v2InCodePage932) {
  std::string longJapanese;
  for (int i = 0; i < 20; ++i) longJapanese += "\xE3\x81\x82";  // あ: 2 bytes in code page 932
  const Bytes tag = Id3v2Tag(4, 0,
                             Join({Id3v2Frame(4, "TIT2", Text(3, "A" + longJapanese)),
                                   Id3v2Frame(4, "TPE1", Text(3, "Caf\xC3\xA9")),
                                   Id3v2Frame(4, "TDRC", Text(3, "2004-05")),
                                   Id3v2Frame(4, "TCON", Text(3, "(17)Rock"))}));
  const Records r = Read(Join({tag, Audio()}));
  EXPECT_EQ(r.versions.id3v1, 0);
  EXPECT_EQ(r.versions.id3v2, 4);
  std::string title = "A";
  for (int i = 0; i < 14; ++i) title += "\x82\xA0";  // 29 bytes: the 15th character would need 31
  EXPECT_EQ(std::string(r.tag.Title), title);
  EXPECT_EQ(std::string(r.tag.Artist), "Caf?");
  EXPECT_STREQ(r.tag.Year, "2004");
  EXPECT_EQ(r.tag.GenreNumber, 17);
  EXPECT_STREQ(r.tag.GenreName, "Rock");
  EXPECT_EQ(r.info.Frames, 10);
  EXPECT_EQ(std::string(r.texts.Texts[vbmp3::kTextTitle]), "A" + longJapanese);
  EXPECT_STREQ(r.texts.Texts[vbmp3::kTextGenre], "Rock");

  const Records text =
      Read(Join({Id3v2Tag(3, 0, Id3v2Frame(3, "TCON", Text(0, "J-Core"))), Audio()}));
  EXPECT_EQ(text.tag.GenreNumber, 255);
  EXPECT_STREQ(text.tag.GenreName, "J-Core");
}

TEST(Id3v2Records, Id3v1WinsTheTagRecordAndId3v2FillsTheTexts) {
  const Bytes v2 = Id3v2Tag(3, 0, Id3v2Frame(3, "TIT2", Text(0, kSjis)));
  const Records both = Read(Join({v2, Audio(), synth::Id3v1("one", "", "", 2, 8)}));
  EXPECT_EQ(both.versions.id3v1, 11);
  EXPECT_EQ(both.versions.id3v2, 3);
  EXPECT_STREQ(both.tag.Title, "one");
  EXPECT_STREQ(both.tag.GenreName, "Jazz");
  EXPECT_EQ(std::string(both.texts.Texts[vbmp3::kTextTitle]), kUtf8);
  EXPECT_STREQ(both.texts.Texts[vbmp3::kTextId3v2Version], "2.3");
  for (int i = vbmp3::kTextId3v2Version + 1; i < vbmp3::kTextId3v1Version; ++i) {
    EXPECT_STREQ(both.texts.Texts[i], "");
  }
  EXPECT_STREQ(both.texts.Texts[vbmp3::kTextId3v1Version], "1.1");
  EXPECT_STREQ(both.texts.Texts[vbmp3::kTextId3v2ShiftJis],
               "Shift_JIS");  // the title was read from it

  const Records none = Read(Audio());
  EXPECT_EQ(none.tag.GenreNumber, -1);
  EXPECT_STREQ(none.tag.Title, "");
  EXPECT_STREQ(none.texts.Texts[vbmp3::kTextTitle], "");
}

TEST(Id3v2Records, TextsAreCutToTheirFieldAtACharacterBoundary) {
  std::string text;
  for (int i = 0; i < 50; ++i) text += "\xE3\x81\x82";  // 150 bytes
  const Records r = Read(Join({Id3v2Tag(4, 0, Id3v2Frame(4, "TALB", Text(3, text))), Audio()}));
  EXPECT_EQ(std::string(r.texts.Texts[vbmp3::kTextAlbum]), text.substr(0, 126));
  EXPECT_EQ(vbmp3::CutUtf8(text, 127), text.substr(0, 126));
}

}  // namespace
