#include "engine/name_builder.h"

#include <array>

#include "engine/expanded_text.h"
#include "engine/path_rules.h"
#include "engine/template_parts.h"
#include "engine/text_forms.h"
#include "engine/windows_names.h"

namespace {

struct Placeholder {
  const wchar_t* code;
  const wchar_t* fallback;
};

// The order matters: a value may bring in a later placeholder, which is then
// expanded in its turn, while an earlier one stays literal.
constexpr std::array<Placeholder, 10> kPlaceholders{{
    {L"%A", L"ArtistName"},
    {L"%T", L"TitleName"},
    {L"%L", L"AlbumName"},
    {L"%Y", L"0000"},
    {L"%C", L""},
    {L"%G", L"NoGenre"},
    {L"%N", L"00"},
    {L"%B", L"AlbumArtist"},
    {L"%D", L"0"},
    {L"%F", L""},
}};
using PlaceholderValues = std::array<std::wstring, kPlaceholders.size()>;

// The track as the tag gives it, as many digits as its total has.
std::wstring PaddedTrack(const TagTexts& tag) {
  std::wstring track = CutAtNull(tag.track);
  if (!track.empty() && track.size() < tag.trackTotalDigits)
    track.insert(0, tag.trackTotalDigits - track.size(), L'0');
  return track;
}

PlaceholderValues ValuesOf(const TagTexts& tag, const std::wstring& sourcePath) {
  return {CutAtNull(tag.artist),
          CutAtNull(tag.title),
          CutAtNull(tag.album),
          CutAtNull(tag.year),
          CutAtNull(tag.comment),
          CutAtNull(tag.genreName),
          PaddedTrack(tag),
          CutAtNull(tag.albumArtist),
          DiscNumberText(CutAtNull(tag.disc)),
          sourcePath.empty() ? L"" : FileStem(sourcePath)};
}

// The alternative a part becomes: the first whose placeholders all have a
// value; none when every one lacks one.
const std::wstring* ChosenAlternative(const TemplateSegment& part,
                                      const PlaceholderValues& values) {
  for (const std::wstring& alternative : part.alternatives) {
    bool complete = true;
    for (size_t i = 0; i < kPlaceholders.size(); ++i)
      if (values[i].empty() && alternative.find(kPlaceholders[i].code) != std::wstring::npos)
        complete = false;
    if (complete) return &alternative;
  }
  return nullptr;
}

// One stretch expanded step by step; an empty field gives its fallback only
// when fallbacks is set, and is reported through emptyFieldUsed.
ExpandedText ExpandStretch(const std::wstring& text, const PlaceholderValues& values,
                           bool fallbacks, bool& emptyFieldUsed) {
  ExpandedText pieces{{text, false}};
  for (size_t i = 0; i < kPlaceholders.size(); ++i) {
    if (FlatText(pieces).find(kPlaceholders[i].code) == std::wstring::npos) continue;
    std::wstring value = values[i];
    if (value.empty()) {
      emptyFieldUsed = true;
      if (fallbacks) value = kPlaceholders[i].fallback;
    }
    ReplaceWithTagValue(pieces, kPlaceholders[i].code, value);
  }
  return pieces;
}

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
    chosen.trackTotalDigits = id3v1.track.empty() ? id3v2.trackTotalDigits : id3v1.trackTotalDigits;
    chosen.albumArtist = pick(id3v2.albumArtist, id3v1.albumArtist);
    chosen.disc = pick(id3v2.disc, id3v1.disc);
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
  chosen.trackTotalDigits = id3v2.track.empty() ? id3v1.trackTotalDigits : id3v2.trackTotalDigits;
  chosen.albumArtist = pick(id3v2.albumArtist, id3v1.albumArtist);
  chosen.disc = pick(id3v2.disc, id3v1.disc);
  return chosen;
}

std::wstring ExpandPlaceholders(const std::wstring& templ, const TagTexts& tag) {
  return ExpandPlaceholdersWith(templ, tag, EmptyFieldPolicy::kFallback).text;
}

Expansion ExpandPlaceholdersWith(const std::wstring& templ, const TagTexts& tag,
                                 EmptyFieldPolicy policy, const std::wstring& sourcePath) {
  Expansion expansion;
  const PlaceholderValues values = ValuesOf(tag, sourcePath);
  for (const TemplateSegment& segment : SplitTemplateParts(templ)) {
    // A part's placeholders never fall back and never make a field missed.
    bool partEmptyField = false;
    const std::wstring* text =
        segment.optional ? ChosenAlternative(segment, values) : &segment.alternatives.front();
    if (!text) continue;
    ExpandedText pieces = segment.optional
                              ? ExpandStretch(*text, values, false, partEmptyField)
                              : ExpandStretch(*text, values, policy == EmptyFieldPolicy::kFallback,
                                              expansion.emptyFieldUsed);
    expansion.pieces.insert(expansion.pieces.end(), pieces.begin(), pieces.end());
  }
  if (expansion.pieces.empty()) expansion.pieces.push_back({L"", false});
  expansion.text = FlatText(expansion.pieces);
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
  Expansion expansion = ExpandPlaceholdersWith(templ, tag, policies.emptyField, sourcePath);
  const bool blanked = expansion.emptyFieldUsed;
  if (blanked && policies.emptyField == EmptyFieldPolicy::kKeepName) return sourcePath;
  ExpandedText text = std::move(expansion.pieces);
  // A value's "FP#" is text: only the template itself makes a full path.
  const bool fullPath = templ.compare(0, 3, kFullPathPrefix) == 0;
  if (fullPath) text = SliceOf(text, 3, FlatText(text).size());
  for (TextPiece& piece : text) {
    if (piece.fromTag && policies.normalizeWidth) piece.text = NormalizeWidth(piece.text);
    piece.text = NameCharacters(piece, policies.forbidden);
  }
  if (blanked && policies.emptyField == EmptyFieldPolicy::kBlank) text = WithoutLeftoverEnds(text);
  // Composed, so that two spellings of one name are one name.
  const std::wstring name = ComposeLikeNfc(JoinComponents(SplitAtTemplateSeparators(text)));
  const std::wstring extension = SourceExtension(sourcePath);
  if (fullPath) return WindowsTargetPath(L"", ResolveAgainstFolder(name, currentFolder), extension);
  return WindowsTargetPath(AddPathSeparator(GetDirectoryPart(sourcePath)), name, extension);
}

std::wstring DiscNumberText(const std::wstring& written) {
  size_t at = written.find_first_not_of(L' ');
  if (at == std::wstring::npos) return L"";
  size_t end = at;
  while (end < written.size() && written[end] >= L'0' && written[end] <= L'9') ++end;
  while (at < end && written[at] == L'0') ++at;
  return written.substr(at, end - at);
}

std::wstring FileStem(const std::wstring& path) {
  const size_t separator = path.rfind(L'\\');
  const std::wstring name = separator == std::wstring::npos ? path : path.substr(separator + 1);
  const size_t dot = name.rfind(L'.');
  if (dot == std::wstring::npos || dot == 0) return name;
  return name.substr(0, dot);
}
