// The name builder: the target path a file is to get, from its ID3v1 and
// ID3v2 tags and a name template.
#pragma once
#include <cstdint>
#include <string>

#include "audio_library/tag_texts.h"
#include "engine/expanded_text.h"
#include "engine/naming_policy.h"
#include "settings/preferences.h"

// The texts a name is built from: with preferID3v2, each ID3v2 text that is
// not empty takes the place of the ID3v1 one. The track number comes from
// the other tag when the chosen one has none.
TagTexts ChooseTagTexts(const TagTexts& id3v1, const TagTexts& id3v2, bool preferID3v2);

// Puts the tag texts in place of "%A" "%T" "%L" "%Y" "%C" "%G" "%N" "%B"
// "%D", in that order, each step working on the text the steps before
// produced; an empty field gives its fallback text.
std::wstring ExpandPlaceholders(const std::wstring& templ, const TagTexts& tag);

// The expansion under a policy for empty fields: the fallback text, or the
// empty text; and whether a placeholder the text used had an empty field.
// "%F" is the source's file name without its extension. An optional part
// ("<%B|%A>") becomes its first alternative whose placeholders all have a
// value, or nothing; its placeholders neither fall back nor count as a
// missed field.
struct Expansion {
  std::wstring text;
  bool emptyFieldUsed = false;
  ExpandedText pieces;  // the same text, each piece marked template's or a value's
};
Expansion ExpandPlaceholdersWith(const std::wstring& templ, const TagTexts& tag,
                                 EmptyFieldPolicy policy, const std::wstring& sourcePath = L"");

// The number before a disc's "/" without leading zeros ("02/03" gives "2");
// empty when it does not start with a number above zero.
std::wstring DiscNumberText(const std::wstring& written);

// The last component of a path without its extension; the whole component
// when that would leave nothing (".mp3").
std::wstring FileStem(const std::wstring& path);

// Removes the ten characters a file name cannot hold: / : , ; * ? " < > |
// (not the backslash: a template may name subfolders).
std::wstring DeleteForbiddenCharacters(const std::wstring& text);

// The same ten characters deleted, replaced by their full-width forms
// (／ ： ， ； ＊ ？ ＂ ＜ ＞ ｜) or replaced by "_".
std::wstring ReplaceForbiddenCharacters(const std::wstring& text, ForbiddenCharacterPolicy policy);

// From the path's last full stop to its end, searched over the whole path;
// the last four characters when the path has no full stop at all.
std::wstring SourceExtension(const std::wstring& path);

// The whole name rule on given tag texts: expansion, the forbidden
// characters (after, with normalizeWidth, the values' width forms), then
// the composition of the built name's marks, then the source's folder and
// the source's extension, made a
// name Windows can hold (windows_names.h). Only the template places the
// file: a value's backslashes go as the forbidden characters go, and a
// folder a value left empty or made of dots and spaces only is "_". A
// template that begins with "FP#" names the whole path, resolved against
// currentFolder (left relative when that is empty). With
// EmptyFieldPolicy::kKeepName and an empty field in use, the source path
// itself: the file keeps its name.
std::wstring ExpandTemplate(const std::wstring& sourcePath, const std::wstring& templ,
                            const TagTexts& tag, const NamingPolicies& policies = {},
                            const std::wstring& currentFolder = L"");

#ifdef _WIN32
// ExpandTemplate against the process's current folder, as the entries and
// the property dialog's candidates are built.
std::wstring ExpandTemplateHere(const std::wstring& sourcePath, const std::wstring& templ,
                                const TagTexts& tag, const NamingPolicies& policies);

// Reads the file's tag through VBMP3.dll and applies the template: templ
// when it is not empty, else the default template for a negative index,
// else the template list's element at index, under the policies of the
// settings. Empty when the tag cannot be read (or the index names no
// template).
std::wstring BuildRenameName(const Preferences& preferences, const std::wstring& path,
                             const std::wstring& templ, int index);
#endif
