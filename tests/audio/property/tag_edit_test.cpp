// What the tag boxes show and what OK writes, for every combination of the
// tags a file holds and the PreferID3v2 setting.
#include <gtest/gtest.h>

#include "audio/property/tag_edit.h"

namespace {

using property::TagSources;

TagTexts Texts(const std::wstring& title, const std::wstring& artist,
               const std::wstring& genre = L"") {
  TagTexts t;
  t.title = title;
  t.artist = artist;
  t.genreName = genre;
  return t;
}

TagSources Sources(bool v1, bool v2) {
  TagSources s;
  s.hasId3v1 = v1;
  s.hasId3v2 = v2;
  if (v1) s.id3v1 = Texts(L"A thirty-byte cut of the titl", L"v1 artist", L"Rock");
  // Without an ID3v1 tag, the record's texts are the ID3v2 ones in the
  // code page: "?" for what it cannot hold.
  if (v2) {
    s.id3v2 =
        Texts(L"A thirty-byte cut of the title, and more: Caf\u00E9 \uB178\uB798", L"", L"J-Core");
    s.id3v2Track = L"3/12";
    if (!v1) s.id3v1 = Texts(L"A thirty-byte cut of the titl", L"", L"");
  }
  return s;
}

TEST(TagBoxes, ShowTheTextsNamesAreBuiltFrom) {
  const TagSources both = Sources(true, true);
  // Preferring ID3v2: its texts where it has them, ID3v1 where it has none.
  TagTexts shown = property::BoxTexts(both, true);
  EXPECT_EQ(shown.title, both.id3v2.title);
  EXPECT_EQ(shown.artist, L"v1 artist");
  EXPECT_EQ(shown.genreName, L"J-Core");
  // Not preferring: the ID3v1 tag.
  shown = property::BoxTexts(both, false);
  EXPECT_EQ(shown.title, both.id3v1.title);
  // No ID3v1 tag: the ID3v2 texts in full, not the code page's cut of them.
  EXPECT_EQ(property::BoxTexts(Sources(false, true), false).title, both.id3v2.title);
  EXPECT_EQ(property::BoxTexts(Sources(true, false), true).title, both.id3v1.title);
}

TEST(TagBoxes, OkWritesTheTagsTheFileHasOrTheSettingAsksFor) {
  struct Case {
    bool v1, v2, prefer, writeV2, writeV1;
  } cases[] = {
      {true, true, true, true, true},     {true, true, false, true, true},
      {true, false, false, false, true},  {true, false, true, true, true},
      {false, true, false, true, false},  {false, true, true, true, false},
      {false, false, false, false, true}, {false, false, true, true, true},
  };
  for (const Case& c : cases) {
    const property::TagWrite write = property::PlanTagWrite(Sources(c.v1, c.v2), c.prefer, true);
    EXPECT_EQ(write.id3v2, c.writeV2) << c.v1 << c.v2 << c.prefer;
    EXPECT_EQ(write.id3v1, c.writeV1) << c.v1 << c.v2 << c.prefer;
    EXPECT_FALSE(write.repairShiftJis);
    const property::TagWrite none = property::PlanTagWrite(Sources(c.v1, c.v2), c.prefer, false);
    EXPECT_FALSE(none.id3v2 || none.id3v1);
  }
}

TEST(TagBoxes, TheShiftJisRepairWritesTheId3v2TagAloneEvenUnchanged) {
  TagSources sjis = Sources(true, true);
  sjis.shiftJis = true;
  property::TagWrite write = property::PlanTagWrite(sjis, false, false);
  EXPECT_TRUE(write.id3v2 && write.repairShiftJis);
  EXPECT_FALSE(write.id3v1);
  write = property::PlanTagWrite(sjis, false, true);
  EXPECT_TRUE(write.id3v2 && write.id3v1 && write.repairShiftJis);
}

TEST(TagBoxes, OnlyChangedBoxesGoIntoTheId3v2Tag) {
  const TagSources both = Sources(true, true);
  const TagTexts loaded = property::BoxTexts(both, false);  // the 30-byte ID3v1 texts
  TagTexts boxes = loaded;
  boxes.artist = L"New artist";
  Id3v2Values values = property::ValuesToWrite(both, loaded, boxes, false);
  EXPECT_EQ(values.title, both.id3v2.title);  // never cut down to the box
  EXPECT_EQ(values.artist, L"New artist");
  EXPECT_EQ(values.genre, L"J-Core");
  EXPECT_EQ(values.track, L"3/12");
  boxes.title = L"";  // emptied on purpose: removed
  EXPECT_EQ(property::ValuesToWrite(both, loaded, boxes, false).title, L"");
}

TEST(TagBoxes, PreferringId3v2TheTagGetsEveryShownTextItLacks) {
  TagSources v1Only = Sources(true, false);
  v1Only.id3v1.year = L"1999";
  TagTexts loaded = property::BoxTexts(v1Only, true);
  TagTexts boxes = loaded;
  boxes.title = L"Edited";
  Id3v2Values values = property::ValuesToWrite(v1Only, loaded, boxes, true);
  EXPECT_EQ(values.title, L"Edited");
  EXPECT_EQ(values.artist, L"v1 artist");
  EXPECT_EQ(values.year, L"1999");
  EXPECT_EQ(values.genre, L"Rock");
  // What the tag holds and the user left stays; a box emptied on purpose
  // still empties its field.
  const TagSources both = Sources(true, true);
  loaded = property::BoxTexts(both, true);
  boxes = loaded;
  boxes.artist = L"";
  values = property::ValuesToWrite(both, loaded, boxes, true);
  EXPECT_EQ(values.title, both.id3v2.title);
  EXPECT_EQ(values.artist, L"");
  // Not preferring ID3v2, the boxes show the ID3v1 tag: only changes go there.
  EXPECT_EQ(property::ValuesToWrite(v1Only, property::BoxTexts(v1Only, false),
                                    property::BoxTexts(v1Only, false), false)
                .artist,
            L"");
}

TEST(TagBoxes, TheId3v2LineSaysWhenShiftJisWasFoundAndThatOkRepairsIt) {
  StreamInfoRecord info{};
  const std::wstring plain = property::FormatTagAndStream(info, L"2.3", false);
  EXPECT_EQ(plain.substr(plain.rfind(L"\r\n") + 2), L"ID3v2：2.3");
  const std::wstring found = property::FormatTagAndStream(info, L"2.3", true);
  EXPECT_EQ(found.substr(plain.size() - 9),
            L"ID3v2：2.3（Shift_JIS を検出）\r\nOKで Unicode に書き直します");
  EXPECT_EQ(property::FormatTagAndStream(info, L"", true),
            property::FormatTagAndStream(info, L"", false));
}

}  // namespace
