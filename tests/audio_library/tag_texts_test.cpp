// How the library's records become texts: each field from its own place,
// cut at its first NUL but never beyond its width, through the decoder of
// its code page.
#include "audio_library/tag_texts.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Byte for character: enough to see which bytes reach the decoder.
std::wstring Latin1(std::string_view bytes) { return std::wstring(bytes.begin(), bytes.end()); }
// Marks its output so a test sees which decoder a field went through.
std::wstring Marked(std::string_view bytes) { return L"<" + Latin1(bytes) + L">"; }

template <size_t N>
void Put(char (&field)[N], const char* text) {
  std::strncpy(field, text, N);
}

TEST(TagTexts, EachId3v1FieldComesFromItsOwnPlace) {
  TagRecord tag{};
  Put(tag.Title, "title");
  Put(tag.Artist, "artist");
  Put(tag.Album, "album");
  Put(tag.Year, "1999");
  Put(tag.Comment, "comment");
  Put(tag.GenreName, "Rock");
  TagTexts texts = Id3v1Texts(tag, &Marked);
  EXPECT_EQ(texts.title, L"<title>");
  EXPECT_EQ(texts.artist, L"<artist>");
  EXPECT_EQ(texts.album, L"<album>");
  EXPECT_EQ(texts.year, L"<1999>");
  EXPECT_EQ(texts.comment, L"<comment>");
  EXPECT_EQ(texts.genreName, L"<Rock>");
}

TEST(TagTexts, EachId3v2FieldComesFromItsOwnPlace) {
  TagTextsRecord record{};
  const char* values[] = {"t", "a", "l", "2001", "c", "Pop", "7", "2.4"};
  for (int field = 0; field < 8; ++field) Put(record.Texts[field], values[field]);
  TagTexts texts = Id3v2Texts(record, &Marked);
  EXPECT_EQ(texts.title, L"<t>");
  EXPECT_EQ(texts.artist, L"<a>");
  EXPECT_EQ(texts.album, L"<l>");
  EXPECT_EQ(texts.year, L"<2001>");
  EXPECT_EQ(texts.comment, L"<c>");
  EXPECT_EQ(texts.genreName, L"<Pop>");
  EXPECT_EQ(Id3v2Version(record, &Marked), L"<2.4>");
  Put(record.Texts[kId3v2Track], "7/12");
  EXPECT_EQ(Id3v2Texts(record, &Latin1).track, L"07");
}

// ID3v2.3 writes "7/12", ID3v2.4 often "7", some taggers "007" or " 7".
TEST(TrackNumber, TheNumberAloneWithTwoDigitsAtLeast) {
  EXPECT_EQ(TrackNumberText(L"3/12"), L"03");
  EXPECT_EQ(TrackNumberText(L"7"), L"07");
  EXPECT_EQ(TrackNumberText(L" 7"), L"07");
  EXPECT_EQ(TrackNumberText(L"003"), L"03");
  EXPECT_EQ(TrackNumberText(L"12"), L"12");
  EXPECT_EQ(TrackNumberText(L"123/150"), L"123");
  EXPECT_EQ(TrackNumberText(L"1000000000000000000000"), L"1000000000000000000000");
  for (const wchar_t* none : {L"", L"  ", L"0", L"00/12", L"/12", L"A1", L"-3"}) {
    EXPECT_EQ(TrackNumberText(none), L"") << none;
  }
}

// A total with more digits than two widens "%N": "7/120" is "007".
TEST(TrackNumber, DigitsOfTheTotal) {
  EXPECT_EQ(TrackTotalDigits(L"7/120"), 3u);
  EXPECT_EQ(TrackTotalDigits(L"7/0012"), 2u);
  EXPECT_EQ(TrackTotalDigits(L"7 / 1000"), 4u);
  for (const wchar_t* none : {L"", L"7", L"7/", L"7/x", L"/"}) {
    EXPECT_EQ(TrackTotalDigits(none), 0u) << none;
  }
  TagTextsRecord record{};
  std::memcpy(record.Texts[kId3v2Track], "7/120", 5);
  EXPECT_EQ(Id3v2Texts(record, &Latin1).trackTotalDigits, 3u);
}

TEST(TrackNumber, Id3v1TrackByteOfTheRecord) {
  TagTextsRecord record{};
  EXPECT_EQ(Id3v1Track(record), L"");  // no ID3v1.1 tag
  record.Id3v1Track = 5;
  EXPECT_EQ(Id3v1Track(record), L"05");
  record.Id3v1Track = 255;
  EXPECT_EQ(Id3v1Track(record), L"255");
  // The ID3v2 texts know nothing of it.
  EXPECT_EQ(Id3v2Texts(record, &Latin1).track, L"");
}

TEST(TagTexts, FieldsAreCutAtTheirFirstNulButNeverReadBeyondTheirWidth) {
  TagRecord tag{};
  std::memcpy(tag.Title, "ab\0cd", 5);
  // A full year field has no NUL; the comment's bytes follow it directly.
  std::memcpy(tag.Year, "19991", sizeof tag.Year);
  Put(tag.Comment, "next");
  std::memset(tag.Album, 'x', sizeof tag.Album);
  TagTexts texts = Id3v1Texts(tag, &Latin1);
  EXPECT_EQ(texts.title, L"ab");
  EXPECT_EQ(texts.year, L"19991");
  EXPECT_EQ(texts.album, std::wstring(sizeof tag.Album, L'x'));
  EXPECT_EQ(texts.artist, L"");

  TagTextsRecord record{};
  std::memset(record.Texts[kId3v2Title], 'y', sizeof record.Texts[kId3v2Title]);
  EXPECT_EQ(Id3v2Texts(record, &Latin1).title, std::wstring(128, L'y'));
  EXPECT_EQ(Id3v2Version(TagTextsRecord{}, &Latin1), L"");
}

TEST(TagTexts, TheRecordSaysWhichTagsTheFileHasAndWhetherShiftJisWasRead) {
  TagTextsRecord record{};
  EXPECT_FALSE(RecordHasId3v1(record));
  EXPECT_FALSE(RecordHasShiftJis(record));
  Put(record.Texts[kId3v1VersionField], "1.1");
  Put(record.Texts[kId3v2ShiftJisField], "Shift_JIS");
  EXPECT_TRUE(RecordHasId3v1(record));
  EXPECT_TRUE(RecordHasShiftJis(record));
  Put(record.Texts[kId3v2ShiftJisField], "Shift");  // only the library's own word counts
  EXPECT_FALSE(RecordHasShiftJis(record));
}

}  // namespace
