#include "engine/name_builder.h"

#include <array>

#include "engine/expanded_text.h"
#include "engine/path_rules.h"
#include "engine/windows_names.h"

namespace {

struct Placeholder {
  const wchar_t* code;
  std::wstring TagTexts::*field;
  const wchar_t* fallback;
};

// The order matters: a value may bring in a later placeholder, which is then
// expanded in its turn, while an earlier one stays literal.
const std::array<Placeholder, 7> kPlaceholders{{
    {L"%A", &TagTexts::artist, L"ArtistName"},
    {L"%T", &TagTexts::title, L"TitleName"},
    {L"%L", &TagTexts::album, L"AlbumName"},
    {L"%Y", &TagTexts::year, L"0000"},
    {L"%C", &TagTexts::comment, L""},
    {L"%G", &TagTexts::genreName, L"NoGenre"},
    {L"%N", &TagTexts::track, L"00"},
}};

// Held as one text and split at its spaces, so the order stays as written.
constexpr const wchar_t* kForbiddenCharacters = L"/ : , ; * ? \" < > |";
// Their full-width forms, in the same order.
constexpr const wchar_t* kFullWidthForms =
    L"\uFF0F \uFF1A \uFF0C \uFF1B \uFF0A \uFF1F \uFF02 \uFF1C \uFF1E \uFF5C";

constexpr const wchar_t* kFullPathPrefix = L"FP#";

std::wstring ReplaceAll(const std::wstring& text, const std::wstring& what,
                        const std::wstring& with) {
  std::wstring out;
  out.reserve(text.size() + with.size());
  size_t from = 0;
  for (size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, from)) {
    out.append(text, from, at - from);
    out += with;
    from = at + what.size();
  }
  out.append(text, from, std::wstring::npos);
  return out;
}

// What a piece keeps in a name: no control characters, the forbidden ones
// as the policy says, and, in a tag value, no separator either.
std::wstring NameCharacters(const TextPiece& piece, ForbiddenCharacterPolicy policy) {
  std::wstring text = ReplaceForbiddenCharacters(RemoveControlCharacters(piece.text), policy);
  if (!piece.fromTag) return text;
  const wchar_t* backslash = policy == ForbiddenCharacterPolicy::kFullWidth    ? L"\uFF3C"
                             : policy == ForbiddenCharacterPolicy::kUnderscore ? L"_"
                                                                               : L"";
  return ReplaceAll(text, L"\\", backslash);
}

// TrimNameEnds on the flat text, keeping the pieces' marks.
ExpandedText WithoutLeftoverEnds(const ExpandedText& text) {
  const std::wstring flat = FlatText(text);
  const std::wstring trimmed = TrimNameEnds(flat);
  if (trimmed.empty()) return SliceOf(text, 0, 0);
  // Only leftovers stand before the trimmed text, so its first occurrence
  // is where it starts.
  const size_t first = flat.find(trimmed);
  return SliceOf(text, first, first + trimmed.size());
}

bool OnlyDotsAndSpaces(const std::wstring& text) {
  return text.find_first_not_of(L". ") == std::wstring::npos;
}

// The components with the template's separators between them. A folder a
// value made of dots and spaces only, or left empty, would step elsewhere
// or vanish: it is "_".
std::wstring JoinComponents(const std::vector<NameComponent>& components) {
  std::wstring name;
  for (size_t i = 0; i < components.size(); ++i) {
    const NameComponent& component = components[i];
    const bool folder = i + 1 < components.size();
    name += folder && component.byTag && OnlyDotsAndSpaces(component.text) ? L"_" : component.text;
    if (folder) name += L'\\';
  }
  return name;
}

}  // namespace

TagTexts ChooseTagTexts(const TagTexts& id3v1, const TagTexts& id3v2, bool preferID3v2) {
  auto pick = [](const std::wstring& v2, const std::wstring& v1) { return v2.empty() ? v1 : v2; };
  if (!preferID3v2) {
    // Most ID3v1 tags have no room for a track number: the ID3v2 one stands in.
    TagTexts chosen = id3v1;
    chosen.track = pick(id3v1.track, id3v2.track);
    return chosen;
  }
  TagTexts chosen;
  chosen.artist = pick(id3v2.artist, id3v1.artist);
  chosen.title = pick(id3v2.title, id3v1.title);
  chosen.album = pick(id3v2.album, id3v1.album);
  chosen.year = pick(id3v2.year, id3v1.year);
  chosen.comment = pick(id3v2.comment, id3v1.comment);
  chosen.genreName = pick(id3v2.genreName, id3v1.genreName);
  chosen.track = pick(id3v2.track, id3v1.track);
  return chosen;
}

std::wstring ExpandPlaceholders(const std::wstring& templ, const TagTexts& tag) {
  return ExpandPlaceholdersWith(templ, tag, EmptyFieldPolicy::kFallback).text;
}

Expansion ExpandPlaceholdersWith(const std::wstring& templ, const TagTexts& tag,
                                 EmptyFieldPolicy policy) {
  Expansion expansion;
  ExpandedText& pieces = expansion.pieces;
  pieces.push_back({templ, false});
  for (const Placeholder& p : kPlaceholders) {
    if (FlatText(pieces).find(p.code) == std::wstring::npos) continue;
    std::wstring value = CutAtNull(tag.*p.field);
    if (value.empty()) {
      expansion.emptyFieldUsed = true;
      if (policy == EmptyFieldPolicy::kFallback) value = p.fallback;
    }
    ReplaceWithTagValue(pieces, p.code, value);
  }
  expansion.text = FlatText(pieces);
  return expansion;
}

std::wstring DeleteForbiddenCharacters(const std::wstring& text) {
  return ReplaceForbiddenCharacters(text, ForbiddenCharacterPolicy::kDelete);
}

std::wstring ReplaceForbiddenCharacters(const std::wstring& text, ForbiddenCharacterPolicy policy) {
  std::wstring result = text;
  std::wstring list = kForbiddenCharacters;
  std::wstring fullWidth = kFullWidthForms;
  size_t from = 0;
  while (from <= list.size()) {
    size_t space = list.find(L' ', from);
    if (space == std::wstring::npos) space = list.size();
    std::wstring forbidden = list.substr(from, space - from);
    std::wstring replacement;
    if (policy == ForbiddenCharacterPolicy::kFullWidth)
      replacement = fullWidth.substr(from, space - from);
    if (policy == ForbiddenCharacterPolicy::kUnderscore) replacement = L"_";
    if (!forbidden.empty()) result = ReplaceAll(result, forbidden, replacement);
    from = space + 1;
  }
  return result;
}

std::wstring SourceExtension(const std::wstring& path) {
  size_t dot = path.rfind(L'.');
  if (dot != std::wstring::npos) return path.substr(dot);
  return path.size() <= 4 ? path : path.substr(path.size() - 4);
}

std::wstring ExpandTemplate(const std::wstring& sourcePath, const std::wstring& templ,
                            const TagTexts& tag, const NamingPolicies& policies,
                            const std::wstring& currentFolder) {
  Expansion expansion = ExpandPlaceholdersWith(templ, tag, policies.emptyField);
  const bool blanked = expansion.emptyFieldUsed;
  if (blanked && policies.emptyField == EmptyFieldPolicy::kKeepName) return sourcePath;
  ExpandedText text = std::move(expansion.pieces);
  // A value's "FP#" is text: only the template itself makes a full path.
  const bool fullPath = templ.compare(0, 3, kFullPathPrefix) == 0;
  if (fullPath) text = SliceOf(text, 3, FlatText(text).size());
  for (TextPiece& piece : text) piece.text = NameCharacters(piece, policies.forbidden);
  if (blanked && policies.emptyField == EmptyFieldPolicy::kBlank) text = WithoutLeftoverEnds(text);
  const std::wstring name = JoinComponents(SplitAtTemplateSeparators(text));
  const std::wstring extension = SourceExtension(sourcePath);
  if (fullPath) return WindowsTargetPath(L"", ResolveAgainstFolder(name, currentFolder), extension);
  return WindowsTargetPath(AddPathSeparator(GetDirectoryPart(sourcePath)), name, extension);
}
