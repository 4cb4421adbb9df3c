#include "engine/naming_policy.h"

#include <gtest/gtest.h>

#include "engine/name_builder.h"

namespace {

const std::wstring kSource = L"D:\\My Music\\track01.mp3";
const std::wstring kFolder = L"D:\\My Music\\";

TagTexts Tag(std::wstring artist, std::wstring title, std::wstring album = L"") {
  TagTexts t;
  t.artist = std::move(artist);
  t.title = std::move(title);
  t.album = std::move(album);
  return t;
}

NamingPolicies Policies(int16_t cantUse, int16_t noSetting) {
  return {ForbiddenCharacterPolicyOf(cantUse), EmptyFieldPolicyOf(noSetting)};
}

std::wstring Build(const std::wstring& templ, const TagTexts& tag, int16_t cantUse, int16_t noSetting) {
  return ExpandTemplate(kSource, templ, tag, Policies(cantUse, noSetting));
}

}  // namespace

// A number outside a list (hand-edited) is applied as its first item.
TEST(NamingPolicy, StoredIndexesOutsideTheListsActAsTheFirstItem) {
  EXPECT_EQ(ForbiddenCharacterPolicyOf(1), ForbiddenCharacterPolicy::kFullWidth);
  EXPECT_EQ(ForbiddenCharacterPolicyOf(2), ForbiddenCharacterPolicy::kUnderscore);
  EXPECT_EQ(EmptyFieldPolicyOf(1), EmptyFieldPolicy::kBlank);
  EXPECT_EQ(EmptyFieldPolicyOf(2), EmptyFieldPolicy::kKeepName);
  EXPECT_EQ(SameNamePolicyOf(1), SameNamePolicy::kNumber);
  for (int16_t outside : {int16_t{-1}, int16_t{3}, int16_t{-32768}, int16_t{32767}}) {
    EXPECT_EQ(ForbiddenCharacterPolicyOf(outside), ForbiddenCharacterPolicy::kDelete) << outside;
    EXPECT_EQ(EmptyFieldPolicyOf(outside), EmptyFieldPolicy::kFallback) << outside;
    EXPECT_EQ(SameNamePolicyOf(outside), SameNamePolicy::kSkip) << outside;
  }
  EXPECT_EQ(SameNamePolicyOf(2), SameNamePolicy::kSkip);
  EXPECT_EQ(Build(L"%A - %T", Tag(L"AC/DC", L""), 7, -3), kFolder + L"ACDC - TitleName.mp3");
}

TEST(NamingPolicy, ForbiddenCharactersDeletedWidenedOrUnderscored) {
  const std::wstring all = L"a/b:c,d;e*f?g\"h<i>j|k\\l";
  EXPECT_EQ(ReplaceForbiddenCharacters(all, ForbiddenCharacterPolicy::kDelete), L"abcdefghijk\\l");
  EXPECT_EQ(ReplaceForbiddenCharacters(all, ForbiddenCharacterPolicy::kFullWidth),
            L"a\uFF0Fb\uFF1Ac\uFF0Cd\uFF1Be\uFF0Af\uFF1Fg\uFF02h\uFF1Ci\uFF1Ej\uFF5Ck\\l");
  EXPECT_EQ(ReplaceForbiddenCharacters(all, ForbiddenCharacterPolicy::kUnderscore), L"a_b_c_d_e_f_g_h_i_j_k\\l");
  EXPECT_EQ(Build(L"%A - %T", Tag(L"AC/DC", L"Re:Zero"), 1, 0), kFolder + L"AC／DC - Re：Zero.mp3");
  EXPECT_EQ(Build(L"%A - %T", Tag(L"AC/DC", L"Re:Zero"), 2, 0), kFolder + L"AC_DC - Re_Zero.mp3");
  // Characters of the template are treated as those of the tag.
  EXPECT_EQ(Build(L"%A: %T?", Tag(L"a", L"t"), 1, 0), kFolder + L"a： t？.mp3");
  // A full-path template loses its drive colon to every policy but widening.
  EXPECT_EQ(Build(L"FP#C:\\x\\%T", Tag(L"", L"t"), 2, 0), L"C_\\x\\t.mp3");
}

TEST(NamingPolicy, NamesOfForbiddenCharactersOnly) {
  const TagTexts tag = Tag(L"", L"?*|");
  EXPECT_EQ(Build(L"%T", tag, 0, 0), kFolder + L".mp3");
  EXPECT_EQ(Build(L"%T", tag, 1, 0), kFolder + L"？＊｜.mp3");
  EXPECT_EQ(Build(L"%T", tag, 2, 0), kFolder + L"___.mp3");
  // At the ends of a name with a blank field, "_" goes whatever its origin;
  // full-width forms stay.
  EXPECT_EQ(Build(L"%A%T", tag, 2, 1), kFolder + L".mp3");
  EXPECT_EQ(Build(L"%A%T", tag, 1, 1), kFolder + L"？＊｜.mp3");
  EXPECT_EQ(Build(L"%A - %T", tag, 0, 1), kFolder + L".mp3");
}

TEST(NamingPolicy, BlankFieldsAndTheirLeftoversAtTheEnds) {
  EXPECT_EQ(Build(L"%A - %T", Tag(L"", L"Title"), 0, 1), kFolder + L"Title.mp3");
  EXPECT_EQ(Build(L"%T - %A", Tag(L"", L"Title"), 0, 1), kFolder + L"Title.mp3");
  EXPECT_EQ(Build(L"%A_-_%T", Tag(L"", L"Title"), 0, 1), kFolder + L"Title.mp3");
  // The middle stays as it is.
  EXPECT_EQ(Build(L"%A - %L - %T", Tag(L"A", L"T"), 0, 1), kFolder + L"A -  - T.mp3");
  // Every placeholder blank, the fallbacks of year and genre too.
  EXPECT_EQ(ExpandPlaceholdersWith(L"%A|%T|%L|%Y|%C|%G", TagTexts{}, EmptyFieldPolicy::kBlank).text, L"|||||");
  // A name that ends up empty: the folder and the extension.
  EXPECT_EQ(Build(L"%A - %T", TagTexts{}, 0, 1), kFolder + L".mp3");
  // With every field set nothing is trimmed, as with the fallbacks.
  EXPECT_EQ(Build(L" %A - %T_", Tag(L"a", L"t"), 0, 1), kFolder + L" a - t_.mp3");
  EXPECT_EQ(TrimNameEnds(L"_- a - b -_ "), L"a - b");
  EXPECT_EQ(TrimNameEnds(L" -_"), L"");
  // After "FP#" the rest is the name.
  EXPECT_EQ(Build(L"FP#%A - %T", Tag(L"", L"t"), 0, 1), L"t.mp3");
}

TEST(NamingPolicy, AnEmptyFieldInUseKeepsTheFileItsName) {
  EXPECT_EQ(Build(L"%A - %T", Tag(L"", L"Title"), 0, 2), kSource);
  // The comment has no fallback, but an empty one is unset all the same.
  EXPECT_EQ(Build(L"%T%C", Tag(L"a", L"t"), 0, 2), kSource);
  // A field the template does not use does not count.
  EXPECT_EQ(Build(L"%T", Tag(L"", L"Title"), 0, 2), kFolder + L"Title.mp3");
  // A placeholder that a value brings in counts when it is expanded.
  EXPECT_EQ(Build(L"%A", Tag(L"100%Lunes", L"t"), 0, 2), kSource);
  EXPECT_TRUE(ExpandPlaceholdersWith(L"%A", Tag(L"100%Lunes", L"t"), EmptyFieldPolicy::kKeepName).emptyFieldUsed);
  EXPECT_FALSE(ExpandPlaceholdersWith(L"%a %T", Tag(L"", L"t"), EmptyFieldPolicy::kKeepName).emptyFieldUsed);
  // The path kept is the source letter for letter, not one made safe.
  EXPECT_EQ(ExpandTemplate(L"D:\\x.\\CON .mp3", L"%A", Tag(L"", L""), Policies(1, 2)), L"D:\\x.\\CON .mp3");
}

// The Windows rules come after every policy: a device name or a control
// character the policies left is mended.
TEST(NamingPolicy, WindowsRulesApplyToWhatThePoliciesProduced) {
  // Blanking the artist leaves "CON".
  EXPECT_EQ(Build(L"%A - %T", Tag(L"", L"CON"), 0, 1), kFolder + L"CON_.mp3");
  // Deleting "?" leaves "aux", "_" leaves "nul_" which is no device.
  EXPECT_EQ(Build(L"%T", Tag(L"", L"a?ux.live"), 0, 0), kFolder + L"aux_.live.mp3");
  EXPECT_EQ(Build(L"%T", Tag(L"", L"nul?"), 2, 0), kFolder + L"nul_.mp3");
  // A folder "Mr." from the tag, a tab in the comment.
  EXPECT_EQ(Build(L"%A\\%T%C", TagTexts{L"Mr.", L"Song", L"", L"", L"\t", L""}, 0, 0),
            kFolder + L"Mr\\Song.mp3");
  // A long title with full-width replacements is cut before the extension.
  std::wstring title(300, L'/');
  std::wstring built = Build(L"%T", Tag(L"", title), 1, 0);
  EXPECT_EQ(built, kFolder + std::wstring(243, L'\uFF0F') + L".mp3");
}

// Value 0 of both settings gives the names of every version before.
TEST(NamingPolicy, FirstItemsKeepTodaysNames) {
  const TagTexts tag = Tag(L"AC/DC", L"", L"");
  for (const wchar_t* templ : {L"%A - %T", L"%L %Y %G", L"(%A) %T%C"}) {
    EXPECT_EQ(Build(templ, tag, 0, 0), ExpandTemplate(kSource, templ, tag)) << templ;
  }
  EXPECT_EQ(Build(L"(%A) %T%C", tag, 0, 0), kFolder + L"(ACDC) TitleName.mp3");
  EXPECT_EQ(Build(L"%L %Y %G", tag, 0, 0), kFolder + L"AlbumName 0000 NoGenre.mp3");
}
