// Album artist, disc, the file's own name, optional parts with their
// alternatives, the track padded to its total, one normal form and the width
// option, each with the rules that meet it.
#include <gtest/gtest.h>

#include "engine/name_builder.h"
#include "engine/text_forms.h"

namespace {

const std::wstring kSource = L"D:\\M\\track 3.mp3";

TagTexts Example() {
  TagTexts t;
  t.artist = L"A";
  t.album = L"L";
  t.title = L"T";
  t.track = L"03";
  return t;
}

std::wstring Name(const std::wstring& templ, const TagTexts& tag, NamingPolicies policies = {}) {
  return ExpandTemplate(kSource, templ, tag, policies);
}

}  // namespace

TEST(NameParts, ExamplesOfCollectors) {
  TagTexts tag = Example();
  const std::wstring folders = L"<%B|%A>\\%L\\<%D->%N %T";
  EXPECT_EQ(Name(folders, tag), L"D:\\M\\A\\L\\03 T.mp3");
  tag.disc = L"2/2";
  EXPECT_EQ(Name(folders, tag), L"D:\\M\\A\\L\\2-03 T.mp3");
  tag.disc.clear();
  tag.albumArtist = L"V";
  EXPECT_EQ(Name(folders, tag), L"D:\\M\\V\\L\\03 T.mp3");
  EXPECT_EQ(Name(L"<%B|Various Artists>\\%L\\%N %T", Example()),
            L"D:\\M\\Various Artists\\L\\03 T.mp3");
  EXPECT_EQ(Name(L"%A - %T< [%Y]>", tag), L"D:\\M\\A - T.mp3");
  tag.year = L"2001";
  EXPECT_EQ(Name(L"%A - %T< [%Y]>", tag), L"D:\\M\\A - T [2001].mp3");
  tag.artist.clear();
  EXPECT_EQ(Name(L"<%A - >%T", tag), L"D:\\M\\T.mp3");
  EXPECT_EQ(Name(L"%N %F", Example()), L"D:\\M\\03 track 3.mp3");
}

TEST(NameParts, NewPlaceholdersFallBackOutsideParts) {
  EXPECT_EQ(Name(L"%B %D", TagTexts{}), L"D:\\M\\AlbumArtist 0.mp3");
  TagTexts tag;
  tag.disc = L"02/03";
  EXPECT_EQ(Name(L"%D", tag), L"D:\\M\\2.mp3");
  EXPECT_EQ(ExpandTemplate(L"C:\\a.b.c.mp3", L"%F", tag), L"C:\\a.b.c.mp3");
  EXPECT_EQ(ExpandTemplate(L"C:\\x.y\\.mp3", L"%F", tag), L"C:\\x.y\\.mp3.mp3");
  // Expanded after "%N": a value may bring them in, never the other way.
  tag.artist = L"x%B";
  tag.albumArtist = L"%A";
  EXPECT_EQ(ExpandPlaceholders(L"%A", tag), L"x%A");
}

// A part is chosen from the template's text alone; what a value brings is
// text that follows the forbidden-character policy.
TEST(NameParts, PartsAreReadFromTheTemplateOnly) {
  TagTexts tag = Example();
  tag.artist = L"<a|b>";
  EXPECT_EQ(Name(L"<%A>", tag), L"D:\\M\\ab.mp3");
  EXPECT_EQ(Name(L"<%A>", tag, {ForbiddenCharacterPolicy::kFullWidth}),
            L"D:\\M\\\uFF1Ca\uFF5Cb\uFF1E.mp3");
  EXPECT_EQ(Name(L"<%A>", tag, {ForbiddenCharacterPolicy::kUnderscore}), L"D:\\M\\_a_b_.mp3");
  // Unmatched or stray signs are forbidden characters as before.
  EXPECT_EQ(Name(L"%T <%L", tag), L"D:\\M\\T L.mp3");
  EXPECT_EQ(Name(L"%T > %L | x", tag), L"D:\\M\\T  L  x.mp3");
  EXPECT_EQ(Name(L"<x<%T>", tag, {ForbiddenCharacterPolicy::kUnderscore}), L"D:\\M\\x_T.mp3");
  // Literals only: always the first alternative; an empty part leaves nothing.
  EXPECT_EQ(Name(L"%T<-live|-x>", tag), L"D:\\M\\T-live.mp3");
  EXPECT_EQ(Name(L"%T<>", tag), L"D:\\M\\T.mp3");
  EXPECT_EQ(Name(L"<%C|%Y|%F>", tag), L"D:\\M\\track 3.mp3");
}

TEST(NameParts, PartsNeitherFallBackNorCountAsMissedFields) {
  TagTexts tag = Example();
  const NamingPolicies keep{ForbiddenCharacterPolicy::kDelete, EmptyFieldPolicy::kKeepName};
  EXPECT_EQ(Name(L"%A< (%Y)>", tag, keep), L"D:\\M\\A.mp3");
  EXPECT_EQ(Name(L"%A (%Y)", tag, keep), kSource);
  const NamingPolicies blank{ForbiddenCharacterPolicy::kDelete, EmptyFieldPolicy::kBlank};
  EXPECT_EQ(Name(L"<%B - >%T", tag, blank), L"D:\\M\\T.mp3");
  EXPECT_EQ(Name(L"%B - %T", tag, blank), L"D:\\M\\T.mp3");
}

TEST(NameParts, TrackPaddedToTheDigitsOfItsTotal) {
  TagTexts tag = Example();
  tag.trackTotalDigits = 3;
  EXPECT_EQ(Name(L"%N", tag), L"D:\\M\\003.mp3");
  tag.track = L"7";
  tag.trackTotalDigits = 4;  // a total of 1000 tracks
  EXPECT_EQ(Name(L"%N", tag), L"D:\\M\\0007.mp3");
  tag.track = L"07";
  tag.trackTotalDigits = 2;
  EXPECT_EQ(Name(L"%N", tag), L"D:\\M\\07.mp3");
  tag.track.clear();
  EXPECT_EQ(Name(L"%N", tag), L"D:\\M\\00.mp3");
  TagTexts v2;
  v2.track = L"07";
  v2.trackTotalDigits = 3;
  v2.albumArtist = L"B";
  v2.disc = L"1";
  for (bool prefer : {false, true}) {
    const TagTexts chosen = ChooseTagTexts(Example(), v2, prefer);
    EXPECT_EQ(chosen.albumArtist, L"B");
    EXPECT_EQ(chosen.disc, L"1");
    EXPECT_EQ(chosen.trackTotalDigits, prefer ? 3u : 0u);
  }
}

TEST(NameForms, MarksComposedButCodePage932CharactersKept) {
  EXPECT_EQ(ComposeLikeNfc(L"\u30B7\u3099"), L"\u30B8");
  EXPECT_EQ(ComposeLikeNfc(L"e\u0301\u0323"), L"\u1EB9\u0301");
  EXPECT_EQ(ComposeLikeNfc(L"\u1100\u1161\u11A8"), L"\uAC01");
  EXPECT_EQ(ComposeLikeNfc(L"\uFA10\u212B\u2126\u1FEE"), L"\uFA10\u212B\u2126\u1FEE");
  EXPECT_EQ(ComposeLikeNfc(L"\u212BA\u030A"), L"\u212B\u00C5");
  // Excluded from composition: NFC spells it as two, surrogate pairs on Windows.
  EXPECT_EQ(ComposeLikeNfc(L"\U0001D15E x"), L"\U0001D157\U0001D165 x");
  TagTexts nfd = Example();
  nfd.artist = L"\u30B7\u3099";
  TagTexts nfc = Example();
  nfc.artist = L"\u30B8";
  // In a folder part too: two spellings give one target.
  EXPECT_EQ(Name(L"<%B|%A>\\%T", nfd), Name(L"<%B|%A>\\%T", nfc));
  EXPECT_EQ(Name(L"<%B|%A>\\%T", nfd), L"D:\\M\\\u30B8\\T.mp3");
}

TEST(NameForms, WidthOfValuesBeforeTheForbiddenCharacters) {
  EXPECT_EQ(NormalizeWidth(L"\uFF21\uFF42\uFF13\uFF1F\uFF5E\u3000"), L"Ab3?~\u3000");
  EXPECT_EQ(NormalizeWidth(L"\uFF76\uFF9E\uFF8A\uFF9F\uFF73\uFF9E\uFF71\uFF9E\uFF9E\uFF70\uFF61"),
            L"\u30AC\u30D1\u30F4\u30A2\u309B\u309B\u30FC\u3002");
  TagTexts tag = Example();
  tag.title = L"\uFF37\uFF48\uFF4F\uFF1F \uFF76\uFF9E";
  const std::wstring templ = L"\uFF34\uFF1A%T";
  EXPECT_EQ(Name(templ, tag, {ForbiddenCharacterPolicy::kDelete, {}, true}),
            L"D:\\M\\\uFF34\uFF1AWho \u30AC.mp3");
  EXPECT_EQ(Name(templ, tag, {ForbiddenCharacterPolicy::kFullWidth, {}, true}),
            L"D:\\M\\\uFF34\uFF1AWho\uFF1F \u30AC.mp3");
  EXPECT_EQ(Name(templ, tag, {ForbiddenCharacterPolicy::kUnderscore, {}, true}),
            L"D:\\M\\\uFF34\uFF1AWho_ \u30AC.mp3");
  EXPECT_EQ(Name(templ, tag), L"D:\\M\\\uFF34\uFF1A" + tag.title + L".mp3");
}
