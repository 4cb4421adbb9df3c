// Templates stored before optional parts and the new placeholders give the
// names they gave: the expansion as it was, step by step over seven
// placeholders, is kept here to compare against.
#include <gtest/gtest.h>

#include "engine/name_builder.h"
#include "engine/path_rules.h"
#include "engine/text_forms.h"

namespace {

Expansion EarlierExpansion(const std::wstring& templ, const TagTexts& tag,
                           EmptyFieldPolicy policy) {
  const std::pair<const wchar_t*, std::pair<std::wstring, const wchar_t*>> steps[] = {
      {L"%A", {tag.artist, L"ArtistName"}}, {L"%T", {tag.title, L"TitleName"}},
      {L"%L", {tag.album, L"AlbumName"}},   {L"%Y", {tag.year, L"0000"}},
      {L"%C", {tag.comment, L""}},          {L"%G", {tag.genreName, L"NoGenre"}},
      {L"%N", {tag.track, L"00"}}};
  Expansion expansion;
  expansion.pieces.push_back({templ, false});
  for (const auto& [code, field] : steps) {
    if (FlatText(expansion.pieces).find(code) == std::wstring::npos) continue;
    std::wstring value = CutAtNull(field.first);
    if (value.empty()) {
      expansion.emptyFieldUsed = true;
      if (policy == EmptyFieldPolicy::kFallback) value = field.second;
    }
    ReplaceWithTagValue(expansion.pieces, code, value);
  }
  expansion.text = FlatText(expansion.pieces);
  return expansion;
}

const wchar_t* const kStoredTemplates[] = {L"%A - %T",
                                           L"%a - %t",
                                           L"Track",
                                           L"%A%C",
                                           L"%A|%T|%L|%Y|%C|%G",
                                           L"%G%C%Y%L%T%A",
                                           L"%N %T",
                                           L"%A\\%L\\%N %T",
                                           L"%N-%N",
                                           L"FP#%T",
                                           L"FP#C:\\Sorted\\Best %T",
                                           L" FP#%T",
                                           L"%C",
                                           L"%AT",
                                           L"..\\.\\%A\\%T",
                                           L"%A: %T?",
                                           L"%A「%T」",
                                           L"(%A) %T%C",
                                           L"%L (%Y)",
                                           L"FP#..\\%L - %T%C",
                                           L" %A - %T_",
                                           L"%A_-_%T",
                                           L"%T | %A",
                                           L"%A > %T",
                                           L"%T <%A",
                                           L"%A>%T<",
                                           L"Top %N",
                                           L""};

TagTexts Texts(std::wstring artist, std::wstring title, std::wstring album, std::wstring year,
               std::wstring comment, std::wstring genre, std::wstring track) {
  TagTexts t;
  t.artist = std::move(artist);
  t.title = std::move(title);
  t.album = std::move(album);
  t.year = std::move(year);
  t.comment = std::move(comment);
  t.genreName = std::move(genre);
  t.track = std::move(track);
  return t;
}

std::vector<TagTexts> Corpus() {
  std::vector<TagTexts> corpus(1);
  corpus.push_back(Texts(L"AC/DC", L"Back", L"Album", L"1999", L"c", L"Rock", L"03"));
  corpus.push_back(Texts(L"100%Tunes", L"50%A", L"x%", L"", L"%N", L"Top %N", L""));
  corpus.push_back(Texts(L"ポメロ", L"表題：ソ", L"<a|b>", L"2001", L"", L"", L"12"));
  corpus.push_back(Texts(L"..\\%T", L"..", L" ", L"\t", L"\\", L"FP#x", L"123"));
  corpus.push_back(
      Texts(std::wstring(L"\0junk", 5), L"Who? / What:", L"아티스트", L"", L"", L"", L""));
  return corpus;
}

}  // namespace

TEST(StoredTemplates, GiveTheNamesTheyGaveBefore) {
  for (const wchar_t* templ : kStoredTemplates) {
    for (const TagTexts& tag : Corpus()) {
      for (EmptyFieldPolicy policy :
           {EmptyFieldPolicy::kFallback, EmptyFieldPolicy::kBlank, EmptyFieldPolicy::kKeepName}) {
        const Expansion before = EarlierExpansion(templ, tag, policy);
        const Expansion now = ExpandPlaceholdersWith(templ, tag, policy, L"D:\\M\\x.mp3");
        EXPECT_EQ(now.text, before.text) << templ;
        EXPECT_EQ(now.emptyFieldUsed, before.emptyFieldUsed) << templ;
        ASSERT_EQ(now.pieces.size(), before.pieces.size()) << templ;
        for (size_t i = 0; i < now.pieces.size(); ++i) {
          EXPECT_EQ(now.pieces[i].text, before.pieces[i].text) << templ;
          EXPECT_EQ(now.pieces[i].fromTag, before.pieces[i].fromTag) << templ;
        }
        // Composing leaves these names as they were.
        EXPECT_EQ(ComposeLikeNfc(now.text), now.text) << templ;
      }
    }
  }
}
