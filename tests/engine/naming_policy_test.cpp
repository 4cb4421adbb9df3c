#include "engine/naming_policy.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/name_builder.h"

namespace {

const std::wstring kPolicySource = L"D:\\My Music\\track01.mp3";
const std::wstring kPolicyFolder = L"D:\\My Music\\";

TagTexts PolicyTag(std::wstring artist, std::wstring title, std::wstring album = L"") {
  TagTexts t;
  t.artist = std::move(artist);
  t.title = std::move(title);
  t.album = std::move(album);
  return t;
}

NamingPolicies PolicyPair(int cantUse, int noSetting) {
  return {ForbiddenCharacterPolicyOf(cantUse), EmptyFieldPolicyOf(noSetting)};
}

std::wstring PolicyBuild(const std::wstring& templ, const TagTexts& tag, int cantUse,
                         int noSetting) {
  return ExpandTemplate(kPolicySource, templ, tag, PolicyPair(cantUse, noSetting));
}

}  // namespace

// A number outside a list (hand-edited) is applied as its first item.
TEST(NamingPolicy, StoredIndexesOutsideTheListsActAsTheFirstItem) {
  EXPECT_EQ(ForbiddenCharacterPolicyOf(1), ForbiddenCharacterPolicy::kFullWidth);
  EXPECT_EQ(ForbiddenCharacterPolicyOf(2), ForbiddenCharacterPolicy::kUnderscore);
  EXPECT_EQ(EmptyFieldPolicyOf(1), EmptyFieldPolicy::kBlank);
  EXPECT_EQ(EmptyFieldPolicyOf(2), EmptyFieldPolicy::kKeepName);
  EXPECT_EQ(SameNamePolicyOf(1), SameNamePolicy::kNumber);
  for (int outside : {-1, 3, -32768, 32767}) {
    EXPECT_EQ(ForbiddenCharacterPolicyOf(outside), ForbiddenCharacterPolicy::kDelete) << outside;
    EXPECT_EQ(EmptyFieldPolicyOf(outside), EmptyFieldPolicy::kFallback) << outside;
    EXPECT_EQ(SameNamePolicyOf(outside), SameNamePolicy::kSkip) << outside;
  }
  EXPECT_EQ(SameNamePolicyOf(2), SameNamePolicy::kSkip);
  EXPECT_EQ(PolicyBuild(L"%A - %T", PolicyTag(L"AC/DC", L""), 7, -3),
            kPolicyFolder + L"ACDC - TitleName.mp3");
}

TEST(NamingPolicy, ForbiddenCharactersDeletedWidenedOrUnderscored) {
  const std::wstring all = L"a/b:c,d;e*f?g\"h<i>j|k\\l";
  EXPECT_EQ(ReplaceForbiddenCharacters(all, ForbiddenCharacterPolicy::kDelete), L"abcdefghijk\\l");
  EXPECT_EQ(ReplaceForbiddenCharacters(all, ForbiddenCharacterPolicy::kFullWidth),
            L"a\uFF0Fb\uFF1Ac\uFF0Cd\uFF1Be\uFF0Af\uFF1Fg\uFF02h\uFF1Ci\uFF1Ej\uFF5Ck\\l");
  EXPECT_EQ(ReplaceForbiddenCharacters(all, ForbiddenCharacterPolicy::kUnderscore),
            L"a_b_c_d_e_f_g_h_i_j_k\\l");
  EXPECT_EQ(PolicyBuild(L"%A - %T", PolicyTag(L"AC/DC", L"Re:Zero"), 1, 0),
            kPolicyFolder + L"AC／DC - Re：Zero.mp3");
  EXPECT_EQ(PolicyBuild(L"%A - %T", PolicyTag(L"AC/DC", L"Re:Zero"), 2, 0),
            kPolicyFolder + L"AC_DC - Re_Zero.mp3");
  // Characters of the template are treated as those of the tag.
  EXPECT_EQ(PolicyBuild(L"%A: %T?", PolicyTag(L"a", L"t"), 1, 0), kPolicyFolder + L"a： t？.mp3");
  // A full-path template loses its drive colon to every policy but widening.
  EXPECT_EQ(PolicyBuild(L"FP#C:\\x\\%T", PolicyTag(L"", L"t"), 2, 0), L"C_\\x\\t.mp3");
}

TEST(NamingPolicy, NamesOfForbiddenCharactersOnly) {
  const TagTexts tag = PolicyTag(L"", L"?*|");
  EXPECT_EQ(PolicyBuild(L"%T", tag, 0, 0), kPolicyFolder + L".mp3");
  EXPECT_EQ(PolicyBuild(L"%T", tag, 1, 0), kPolicyFolder + L"？＊｜.mp3");
  EXPECT_EQ(PolicyBuild(L"%T", tag, 2, 0), kPolicyFolder + L"___.mp3");
  // At the ends of a name with a blank field, "_" goes whatever its origin;
  // full-width forms stay.
  EXPECT_EQ(PolicyBuild(L"%A%T", tag, 2, 1), kPolicyFolder + L".mp3");
  EXPECT_EQ(PolicyBuild(L"%A%T", tag, 1, 1), kPolicyFolder + L"？＊｜.mp3");
  EXPECT_EQ(PolicyBuild(L"%A - %T", tag, 0, 1), kPolicyFolder + L".mp3");
}

TEST(NamingPolicy, BlankFieldsAndTheirLeftoversAtTheEnds) {
  EXPECT_EQ(PolicyBuild(L"%A - %T", PolicyTag(L"", L"Title"), 0, 1), kPolicyFolder + L"Title.mp3");
  EXPECT_EQ(PolicyBuild(L"%T - %A", PolicyTag(L"", L"Title"), 0, 1), kPolicyFolder + L"Title.mp3");
  EXPECT_EQ(PolicyBuild(L"%A_-_%T", PolicyTag(L"", L"Title"), 0, 1), kPolicyFolder + L"Title.mp3");
  // The middle stays as it is.
  EXPECT_EQ(PolicyBuild(L"%A - %L - %T", PolicyTag(L"A", L"T"), 0, 1),
            kPolicyFolder + L"A -  - T.mp3");
  // Every placeholder blank, the fallbacks of year and genre too.
  EXPECT_EQ(ExpandPlaceholdersWith(L"%A|%T|%L|%Y|%C|%G", TagTexts{}, EmptyFieldPolicy::kBlank).text,
            L"|||||");
  // A name that ends up empty: the folder and the extension.
  EXPECT_EQ(PolicyBuild(L"%A - %T", TagTexts{}, 0, 1), kPolicyFolder + L".mp3");
  // With every field set nothing is trimmed, as with the fallbacks.
  EXPECT_EQ(PolicyBuild(L" %A - %T_", PolicyTag(L"a", L"t"), 0, 1), kPolicyFolder + L" a - t_.mp3");
  EXPECT_EQ(TrimNameEnds(L"_- a - b -_ "), L"a - b");
  EXPECT_EQ(TrimNameEnds(L" -_"), L"");
  // After "FP#" the rest is the name.
  EXPECT_EQ(PolicyBuild(L"FP#%A - %T", PolicyTag(L"", L"t"), 0, 1), L"t.mp3");
}

TEST(NamingPolicy, AnEmptyFieldInUseKeepsTheFileItsName) {
  EXPECT_EQ(PolicyBuild(L"%A - %T", PolicyTag(L"", L"Title"), 0, 2), kPolicySource);
  // The comment has no fallback, but an empty one is unset all the same.
  EXPECT_EQ(PolicyBuild(L"%T%C", PolicyTag(L"a", L"t"), 0, 2), kPolicySource);
  // A field the template does not use does not count.
  EXPECT_EQ(PolicyBuild(L"%T", PolicyTag(L"", L"Title"), 0, 2), kPolicyFolder + L"Title.mp3");
  // A placeholder that a value brings in counts when it is expanded.
  EXPECT_EQ(PolicyBuild(L"%A", PolicyTag(L"100%Lunes", L"t"), 0, 2), kPolicySource);
  EXPECT_TRUE(
      ExpandPlaceholdersWith(L"%A", PolicyTag(L"100%Lunes", L"t"), EmptyFieldPolicy::kKeepName)
          .emptyFieldUsed);
  EXPECT_FALSE(ExpandPlaceholdersWith(L"%a %T", PolicyTag(L"", L"t"), EmptyFieldPolicy::kKeepName)
                   .emptyFieldUsed);
  // The path kept is the source letter for letter, not one made safe.
  EXPECT_EQ(ExpandTemplate(L"D:\\x.\\CON .mp3", L"%A", PolicyTag(L"", L""), PolicyPair(1, 2)),
            L"D:\\x.\\CON .mp3");
}

// The Windows rules come after every policy: a device name or a control
// character the policies left is mended.
TEST(NamingPolicy, WindowsRulesApplyToWhatThePoliciesProduced) {
  // Blanking the artist leaves "CON".
  EXPECT_EQ(PolicyBuild(L"%A - %T", PolicyTag(L"", L"CON"), 0, 1), kPolicyFolder + L"CON_.mp3");
  // Deleting "?" leaves "aux", "_" leaves "nul_" which is no device.
  EXPECT_EQ(PolicyBuild(L"%T", PolicyTag(L"", L"a?ux.live"), 0, 0),
            kPolicyFolder + L"aux_.live.mp3");
  EXPECT_EQ(PolicyBuild(L"%T", PolicyTag(L"", L"nul?"), 2, 0), kPolicyFolder + L"nul_.mp3");
  // A folder "Mr." from the tag, a tab in the comment.
  EXPECT_EQ(PolicyBuild(L"%A\\%T%C", TagTexts{L"Mr.", L"Song", L"", L"", L"\t", L""}, 0, 0),
            kPolicyFolder + L"Mr\\Song.mp3");
  // A long title with full-width replacements is cut before the extension.
  std::wstring title(300, L'/');
  std::wstring built = PolicyBuild(L"%T", PolicyTag(L"", title), 1, 0);
  EXPECT_EQ(built, kPolicyFolder + std::wstring(243, L'\uFF0F') + L".mp3");
}

// Value 0 of both settings gives the names of every version before.
TEST(NamingPolicy, FirstItemsKeepTodaysNames) {
  const TagTexts tag = PolicyTag(L"AC/DC", L"", L"");
  for (const wchar_t* templ : {L"%A - %T", L"%L %Y %G", L"(%A) %T%C"}) {
    EXPECT_EQ(PolicyBuild(templ, tag, 0, 0), ExpandTemplate(kPolicySource, templ, tag)) << templ;
  }
  EXPECT_EQ(PolicyBuild(L"(%A) %T%C", tag, 0, 0), kPolicyFolder + L"(ACDC) TitleName.mp3");
  EXPECT_EQ(PolicyBuild(L"%L %Y %G", tag, 0, 0), kPolicyFolder + L"AlbumName 0000 NoGenre.mp3");
}

TEST(NumberedTarget, NumberGoesBeforeTheExtensionOfTheLastComponent) {
  EXPECT_EQ(NumberedTarget(L"D:\\m\\Song.mp3", 2), L"D:\\m\\Song (2).mp3");
  EXPECT_EQ(NumberedTarget(L"D:\\m\\a.b.mp3", 13), L"D:\\m\\a.b (13).mp3");
  // A dot in a folder is not an extension.
  EXPECT_EQ(NumberedTarget(L"D:\\m.x\\Songrack", 2), L"D:\\m.x\\Songrack (2)");
  // An empty name (the template expanded to nothing).
  EXPECT_EQ(NumberedTarget(L"D:\\m\\.mp3", 3), L"D:\\m\\ (3).mp3");
  EXPECT_EQ(NumberedTarget(L"Song.mp3", 2), L"Song (2).mp3");
  // A name at the length limit gives up its end for the number (255 units
  // with its extension).
  std::wstring longTarget = L"C:\\" + std::wstring(252, L'x') + L".mp3";
  EXPECT_EQ(NumberedTarget(longTarget, 10), L"C:\\" + std::wstring(246, L'x') + L" (10).mp3");
}

TEST(NumberedTarget, FirstFreeNumberCountsFromTwo) {
  std::vector<std::wstring> asked;
  auto freeFrom4 = [&asked](const std::wstring& candidate) {
    asked.push_back(candidate);
    return asked.size() >= 3;
  };
  EXPECT_EQ(FirstFreeNumberedTarget(L"C:\\Song.mp3", freeFrom4), L"C:\\Song (4).mp3");
  EXPECT_EQ(asked, (std::vector<std::wstring>{L"C:\\Song (2).mp3", L"C:\\Song (3).mp3",
                                              L"C:\\Song (4).mp3"}));
  // Never free: the search ends at its last number.
  EXPECT_EQ(FirstFreeNumberedTarget(L"C:\\a.mp3", [](const std::wstring&) { return false; }),
            L"C:\\a (" + std::to_wstring(kMaxNumberedTarget) + L").mp3");
}
