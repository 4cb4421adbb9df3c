#include "engine/name_builder.h"

#include <gtest/gtest.h>

namespace {

TagTexts Tag(std::wstring artist, std::wstring title) {
  TagTexts t;
  t.artist = std::move(artist);
  t.title = std::move(title);
  return t;
}

const std::wstring kSource = L"D:\\My Music\\track01.mp3";

}  // namespace

// The ID3v2 texts win only where the user prefers them, and only where they
// have a text; an empty one leaves the ID3v1 text, an empty pair the fallback.
TEST(ChooseTagTexts, ID3v2FirstOnlyWhenPreferredAndPresent) {
  TagTexts v1{L"Artist1", L"Title1", L"", L"1999", L"", L"Rock", L""};
  TagTexts v2{L"아티스트", L"", L"Album2", L"", L"", L"Pop", L""};
  TagTexts off = ChooseTagTexts(v1, v2, false);
  EXPECT_EQ(off.artist, L"Artist1");
  EXPECT_EQ(off.album, L"");
  TagTexts on = ChooseTagTexts(v1, v2, true);
  EXPECT_EQ(on.artist, L"아티스트");
  EXPECT_EQ(on.title, L"Title1");
  EXPECT_EQ(on.album, L"Album2");
  EXPECT_EQ(on.year, L"1999");
  EXPECT_EQ(on.genreName, L"Pop");
  EXPECT_EQ(ExpandTemplate(L"C:\\m\\x.mp3", L"%A - %T (%L)", on),
            L"C:\\m\\아티스트 - Title1 (Album2).mp3");
}

// Most ID3v1 tags have no track: the ID3v2 one stands in whichever tag is
// preferred, and a preferred tag's own track wins.
TEST(ChooseTagTexts, TrackFromTheOtherTagWhenTheChosenHasNone) {
  TagTexts v1 = Tag(L"A", L"T");
  TagTexts v2;
  v2.track = L"07";
  EXPECT_EQ(ChooseTagTexts(v1, v2, false).track, L"07");
  EXPECT_EQ(ChooseTagTexts(v1, v2, true).track, L"07");
  v1.track = L"05";
  EXPECT_EQ(ChooseTagTexts(v1, v2, false).track, L"05");
  EXPECT_EQ(ChooseTagTexts(v1, v2, true).track, L"07");
  EXPECT_EQ(ChooseTagTexts(v1, TagTexts{}, true).track, L"05");
}

TEST(ExpandTemplate, TrackNumberWithItsFallbackAfterTheGenre) {
  TagTexts tag = Tag(L"Artist", L"Song");
  tag.track = L"03";
  EXPECT_EQ(ExpandTemplate(kSource, L"%N %T", tag), L"D:\\My Music\\03 Song.mp3");
  EXPECT_EQ(ExpandTemplate(kSource, L"%A\\%L\\%N %T", tag),
            L"D:\\My Music\\Artist\\AlbumName\\03 Song.mp3");
  EXPECT_EQ(ExpandTemplate(kSource, L"%N-%N", Tag(L"", L"")), L"D:\\My Music\\00-00.mp3");
  EXPECT_EQ(ExpandTemplate(kSource, L"%n", tag), L"D:\\My Music\\%n.mp3");
  // Expanded last: a genre (or any value) that holds "%N" has it expanded.
  tag.genreName = L"Top %N";
  EXPECT_EQ(ExpandTemplate(kSource, L"%G", tag), L"D:\\My Music\\Top 03.mp3");
}

TEST(ExpandTemplate, DefaultTemplateExamples) {
  EXPECT_EQ(ExpandTemplate(kSource, L"%A - %T", Tag(L"AC/DC", L"Back")),
            L"D:\\My Music\\ACDC - Back.mp3");
  EXPECT_EQ(ExpandTemplate(kSource, L"%A - %T", Tag(L"", L"Back")),
            L"D:\\My Music\\ArtistName - Back.mp3");
}

TEST(ExpandTemplate, FallbacksForEmptyFields) {
  TagTexts empty;
  EXPECT_EQ(ExpandPlaceholders(L"%A|%T|%L|%Y|%C|%G", empty),
            L"ArtistName|TitleName|AlbumName|0000||NoGenre");
  TagTexts full{L"a", L"t", L"l", L"1999", L"c", L"Rock", L""};
  EXPECT_EQ(ExpandPlaceholders(L"%G%C%Y%L%T%A", full), L"Rockc1999lta");
  EXPECT_EQ(ExpandTemplate(kSource, L"%A%C", Tag(L"X", L"")), L"D:\\My Music\\X.mp3");
  // A field cut at its NUL: what follows the NUL is not part of the value.
  EXPECT_EQ(ExpandPlaceholders(L"%A", Tag(std::wstring(L"\0junk", 5), L"")), L"ArtistName");
}

TEST(ExpandTemplate, PlaceholdersAreCaseSensitiveAndEveryOccurrenceIsReplaced) {
  EXPECT_EQ(ExpandTemplate(kSource, L"%a - %t", Tag(L"A", L"T")), L"D:\\My Music\\%a - %t.mp3");
  EXPECT_EQ(ExpandPlaceholders(L"%A%A-%A", Tag(L"x", L"")), L"xx-x");
  EXPECT_EQ(ExpandTemplate(kSource, L"Track", Tag(L"A", L"T")), L"D:\\My Music\\Track.mp3");
}

TEST(ExpandTemplate, ValuesCascadeOnlyIntoLaterPlaceholders) {
  // The artist brings in "%T", which is expanded in its turn.
  EXPECT_EQ(ExpandPlaceholders(L"%A", Tag(L"100%Tunes", L"Song")), L"100Songunes");
  // The title brings in "%A", which was already done: it stays literal.
  EXPECT_EQ(ExpandPlaceholders(L"%T", Tag(L"Art", L"50%A")), L"50%A");
  // A value holding its own placeholder does not loop.
  EXPECT_EQ(ExpandPlaceholders(L"%A", Tag(L"%A%A", L"")), L"%A%A");
  // A value ending in "%" forms a later placeholder with the template's next
  // letter: each step sees the whole text the earlier steps produced.
  EXPECT_EQ(ExpandPlaceholders(L"%AT", Tag(L"x%", L"y")), L"xy");
}

TEST(ExpandTemplate, DeletesTheTenForbiddenCharactersOnly) {
  EXPECT_EQ(DeleteForbiddenCharacters(L"a/b:c,d;e*f?g\"h<i>j|k\\l"),
            L"abcdefghij"
            L"k\\l");
  EXPECT_EQ(ExpandTemplate(kSource, L"%T", Tag(L"", L"Who? / What:")),
            L"D:\\My Music\\Who  What.mp3");
  // Spaces are never trimmed or merged.
  EXPECT_EQ(ExpandTemplate(kSource, L" %A  %T ", Tag(L"a", L"t")), L"D:\\My Music\\ a  t .mp3");
}

TEST(ExpandTemplate, ExtensionRuleCoversTheWholePath) {
  EXPECT_EQ(SourceExtension(L"D:\\Music\\track"), L"rack");
  EXPECT_EQ(SourceExtension(L"D:\\My.Music\\track"), L".Music\\track");
  EXPECT_EQ(SourceExtension(L"a.b.MP3"), L".MP3");
  EXPECT_EQ(SourceExtension(L"abc"), L"abc");
  EXPECT_EQ(ExpandTemplate(L"D:\\Music\\track", L"%T", Tag(L"", L"Song")), L"D:\\Music\\Songrack");
  EXPECT_EQ(ExpandTemplate(L"D:\\My.Music\\track", L"%T", Tag(L"", L"Song")),
            L"D:\\My.Music\\Song.Music\\track");
}

TEST(ExpandTemplate, FullPathPrefix) {
  EXPECT_EQ(ExpandTemplate(kSource, L"FP#%T", Tag(L"", L"Song")), L"Song.mp3");
  EXPECT_EQ(ExpandTemplate(kSource, L"FP#C:\\Sorted\\Best %T", Tag(L"", L"Song")),
            L"C\\Sorted\\Best Song.mp3");
  // A value's "FP#" is text.
  EXPECT_EQ(ExpandTemplate(kSource, L"%A", Tag(L"FP#x", L"")), L"D:\\My Music\\FP#x.mp3");
  // Only at the very start and only in upper case.
  EXPECT_EQ(ExpandTemplate(kSource, L"fp#%T", Tag(L"", L"S")), L"D:\\My Music\\fp#S.mp3");
  EXPECT_EQ(ExpandTemplate(kSource, L" FP#%T", Tag(L"", L"S")), L"D:\\My Music\\ FP#S.mp3");
}

TEST(ExpandTemplate, EmptyExpansionKeepsFolderAndExtension) {
  EXPECT_EQ(ExpandTemplate(kSource, L"%C", TagTexts{}), L"D:\\My Music\\.mp3");
  EXPECT_EQ(ExpandTemplate(L"C:\\a.mp3", L"%T", Tag(L"", L"t")), L"C:\\t.mp3");
  // A source without folder: the separator alone stands before the name.
  EXPECT_EQ(ExpandTemplate(L"a.mp3", L"%T", Tag(L"", L"t")), L"\\t.mp3");
}

TEST(ExpandTemplate, JapaneseTextsPassUnchanged) {
  EXPECT_EQ(ExpandTemplate(L"D:\\表\\ソ.mp3", L"%A - %T", Tag(L"ポメロ", L"表題：ソ")),
            L"D:\\表\\ポメロ - 表題：ソ.mp3");
}

// Only the template places a file: a value's backslashes go as the ten
// forbidden characters go, and its dots never step out of a folder.
TEST(ExpandTemplate, TagValuesNeverPlaceTheFile) {
  const TagTexts climber = Tag(L"..\\..\\x", L"t");
  const NamingPolicies deleted{}, fullWidth{ForbiddenCharacterPolicy::kFullWidth},
      underscore{ForbiddenCharacterPolicy::kUnderscore};
  EXPECT_EQ(ExpandTemplate(kSource, L"%A - %T", climber, deleted), L"D:\\My Music\\....x - t.mp3");
  EXPECT_EQ(ExpandTemplate(kSource, L"%A - %T", climber, fullWidth),
            L"D:\\My Music\\..\uFF3C..\uFF3Cx - t.mp3");
  EXPECT_EQ(ExpandTemplate(kSource, L"%A - %T", climber, underscore),
            L"D:\\My Music\\.._.._x - t.mp3");
  EXPECT_EQ(ExpandTemplate(kSource, L"%A - %T", Tag(L"AC\\DC", L"Back")),
            L"D:\\My Music\\ACDC - Back.mp3");
  // Folders that values made of dots and spaces only, or left empty (a tab
  // that leaves the name counts as nothing), are "_".
  TagTexts dots = Tag(L"..", L"t");
  dots.album = L". .";
  EXPECT_EQ(ExpandTemplate(kSource, L"%A\\%L\\%N %T", dots), L"D:\\My Music\\_\\_\\00 t.mp3");
  EXPECT_EQ(ExpandTemplate(kSource, L"%A\\%T", Tag(L".\t.", L"t")), L"D:\\My Music\\_\\t.mp3");
  EXPECT_EQ(ExpandTemplate(kSource, L"%A\\%T", Tag(L"", L"t"), {{}, EmptyFieldPolicy::kBlank}),
            L"D:\\My Music\\_\\t.mp3");
  EXPECT_EQ(ExpandTemplate(kSource, L"%C\\%T", Tag(L"", L"t")), L"D:\\My Music\\_\\t.mp3");
  // The template's own separators and steps are kept.
  EXPECT_EQ(ExpandTemplate(kSource, L"..\\.\\%A\\%T", Tag(L"a", L"t")),
            L"D:\\My Music\\..\\.\\a\\t.mp3");
  // A value that brings in a later placeholder still has it expanded.
  EXPECT_EQ(ExpandTemplate(kSource, L"%A", Tag(L"..\\%T", L"..")), L"D:\\My Music\\.....mp3");
}

// A full-path template names the folder against the current one when the
// entry is made; its own ".." steps up, a value's cannot.
TEST(ExpandTemplate, FullPathTemplatesAreResolvedAgainstTheCurrentFolder) {
  const std::wstring here = L"C:\\work\\here";
  const TagTexts song = Tag(L"..", L"Song");
  EXPECT_EQ(ExpandTemplate(kSource, L"FP#%T", song, {}, here), L"C:\\work\\here\\Song.mp3");
  EXPECT_EQ(ExpandTemplate(kSource, L"FP#..\\.\\Best\\%T", song, {}, here),
            L"C:\\work\\Best\\Song.mp3");
  EXPECT_EQ(ExpandTemplate(kSource, L"FP#%A\\%T", song, {}, here), L"C:\\work\\here\\_\\Song.mp3");
  EXPECT_EQ(ExpandTemplate(kSource, L"FP#\\Sorted\\%T", song, {}, here), L"C:\\Sorted\\Song.mp3");
  EXPECT_EQ(ExpandTemplate(kSource, L"FP#..\\..\\..\\%T", song, {}, here), L"C:\\Song.mp3");
  EXPECT_EQ(ExpandTemplate(kSource, L"FP#\\\\srv\\share\\%T", song, {}, here),
            L"\\\\srv\\share\\Song.mp3");
  EXPECT_EQ(ExpandTemplate(kSource, L"FP#..\\%T", song, {}, L"\\\\srv\\share\\in"),
            L"\\\\srv\\share\\Song.mp3");
}
