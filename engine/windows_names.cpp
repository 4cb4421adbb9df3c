#include "engine/windows_names.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "engine/code_points.h"
#include "engine/combining_marks.h"

namespace {

size_t Utf16Units(char32_t c) { return c > 0xFFFF ? 2 : 1; }

// What is left of limit after used, never below zero.
size_t Remaining(size_t limit, size_t used) { return limit > used ? limit - used : 0; }

bool IsDotName(const std::wstring& component) { return component == L"." || component == L".."; }

std::wstring WithoutTrailingDotsAndSpaces(const std::wstring& component) {
  size_t end = component.find_last_not_of(L". ");
  return end == std::wstring::npos ? L"" : component.substr(0, end + 1);
}

bool EqualsAsciiIgnoringCase(const std::wstring& text, const wchar_t* upper) {
  size_t i = 0;
  for (; upper[i]; ++i) {
    if (i >= text.size()) return false;
    wchar_t c = text[i];
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    if (c != upper[i]) return false;
  }
  return i == text.size();
}

bool IsDeviceName(const std::wstring& base) {
  for (const wchar_t* name : {L"CON", L"PRN", L"AUX", L"NUL"})
    if (EqualsAsciiIgnoringCase(base, name)) return true;
  if (base.size() != 4 || base[3] < L'1' || base[3] > L'9') return false;
  const std::wstring letters = base.substr(0, 3);
  return EqualsAsciiIgnoringCase(letters, L"COM") || EqualsAsciiIgnoringCase(letters, L"LPT");
}

std::wstring WithUnderscoreBehindDevice(std::wstring component) {
  size_t at = ReservedDeviceNameEnd(component);
  if (at != std::wstring::npos) component.insert(at, L"_");
  return component;
}

// A folder named by the template or typed: Windows would drop its trailing
// dots and spaces, so "Mr." would silently become "Mr".
std::wstring SafeFolder(const std::wstring& component) {
  if (IsDotName(component)) return component;
  return WithoutTrailingDotsAndSpaces(
      CutAtCharacterBoundary(WithUnderscoreBehindDevice(component), kMaxComponentUnits));
}

// Every component of a backslash-separated text, the separators kept.
std::wstring SafeFolders(const std::wstring& folders) {
  std::wstring result;
  size_t from = 0;
  for (;;) {
    size_t sep = folders.find(L'\\', from);
    result += SafeFolder(
        folders.substr(from, sep == std::wstring::npos ? std::wstring::npos : sep - from));
    if (sep == std::wstring::npos) return result;
    result += L'\\';
    from = sep + 1;
  }
}

// The end of the character at i, with the marks that follow it.
size_t CharacterEnd(const std::wstring& text, size_t i) {
  size_t end = i + CodePointAt(text, i).length;
  while (end < text.size()) {
    CodePoint mark = CodePointAt(text, end);
    if (!IsCombiningMark(mark.value)) break;
    end += mark.length;
  }
  return end;
}

// The first count characters of the text (all of a shorter one).
std::wstring FirstCharacters(const std::wstring& text, size_t count) {
  size_t end = 0;
  for (size_t n = 0; n < count && end < text.size(); ++n) end = CharacterEnd(text, end);
  return text.substr(0, end);
}

std::wstring WithoutTrailingSpaces(const std::wstring& text) {
  size_t end = text.find_last_not_of(L' ');
  return end == std::wstring::npos ? L"" : text.substr(0, end + 1);
}

// The stem cut to limit units, or nullopt where the limit leaves no room
// for its first kLeastKeptCharacters: a name cut shorter than that is no
// longer one a user recognises.
std::optional<std::wstring> CutStem(const std::wstring& stem, size_t limit) {
  if (Utf16Length(stem) <= limit) return stem;
  if (Utf16Length(FirstCharacters(stem, kLeastKeptCharacters)) > limit) return std::nullopt;
  // The spaces a cut leaves at the end ("A - ") belong to what was cut.
  return WithoutTrailingSpaces(CutAtCharacterBoundary(stem, limit));
}

// A device name in stem and extension gets its "_"; where the stem has no
// room for it, its last character gives way, unless the stem then fell
// below what a cut keeps. Nullopt: no room.
std::optional<std::wstring> WithoutDeviceName(std::wstring stem, std::wstring& extension,
                                              size_t limit) {
  const size_t at = ReservedDeviceNameEnd(stem + extension);
  if (at == std::wstring::npos) return stem;
  if (at > stem.size()) {
    extension.insert(at - stem.size(), L"_");
    return stem;
  }
  stem.insert(at, L"_");
  // The "_" stands within the first characters, which a cut keeps.
  return CutStem(stem, limit);
}

// The folders, then the file name: its stem is cut so that the name with
// its extension, and the whole path, fit; a device name gets its "_". Where
// the folders leave no room for a recognisable name, it stays whole: the
// path is then too long, and the run says so instead of renaming.
std::wstring SafeFileName(const std::wstring& folders, const std::wstring& stem,
                          std::wstring extension) {
  const size_t extensionUnits = Utf16Length(extension);
  const size_t limit = std::min(Remaining(kMaxComponentUnits, extensionUnits),
                                Remaining(kMaxPathUnits, Utf16Length(folders) + extensionUnits));
  std::optional<std::wstring> fitted = CutStem(stem, limit);
  if (fitted) fitted = WithoutDeviceName(*fitted, extension, limit);
  if (fitted) return folders + *fitted + extension;
  std::wstring whole = extension;
  std::wstring uncut = *WithoutDeviceName(stem, whole, SIZE_MAX);
  return folders + uncut + whole;
}

}  // namespace

std::wstring RemoveControlCharacters(const std::wstring& text) {
  std::wstring result = text;
  result.erase(std::remove_if(result.begin(), result.end(),
                              [](wchar_t c) {
                                const auto u = static_cast<uint32_t>(c);
                                return u < 0x20 || u == 0x7F;
                              }),
               result.end());
  return result;
}

size_t Utf16Length(const std::wstring& text) {
  size_t units = 0;
  for (size_t i = 0; i < text.size();) {
    CodePoint cp = CodePointAt(text, i);
    units += Utf16Units(cp.value);
    i += cp.length;
  }
  return units;
}

std::wstring CutAtCharacterBoundary(const std::wstring& text, size_t maxUnits) {
  size_t kept = 0;
  size_t units = 0;
  while (kept < text.size()) {
    const size_t end = CharacterEnd(text, kept);
    size_t characterUnits = 0;
    for (size_t i = kept; i < end;) {
      const CodePoint cp = CodePointAt(text, i);
      characterUnits += Utf16Units(cp.value);
      i += cp.length;
    }
    if (units + characterUnits > maxUnits) break;
    units += characterUnits;
    kept = end;
  }
  return text.substr(0, kept);
}

bool FitsWindowsLimits(const std::wstring& path) {
  if (Utf16Length(path) > kMaxPathUnits) return false;
  size_t from = 0;
  for (;;) {
    const size_t sep = path.find(L'\\', from);
    const size_t end = sep == std::wstring::npos ? path.size() : sep;
    if (Utf16Length(path.substr(from, end - from)) > kMaxComponentUnits) return false;
    if (sep == std::wstring::npos) return true;
    from = sep + 1;
  }
}

size_t ReservedDeviceNameEnd(const std::wstring& component) {
  std::wstring base = component.substr(0, component.find(L'.'));
  size_t end = base.find_last_not_of(L' ');
  base.resize(end == std::wstring::npos ? 0 : end + 1);
  return IsDeviceName(base) ? base.size() : std::wstring::npos;
}

std::wstring WindowsTargetPath(const std::wstring& folder, const std::wstring& name,
                               const std::wstring& extension) {
  const std::wstring text = RemoveControlCharacters(name);
  const size_t sep = text.rfind(L'\\');
  if (sep == std::wstring::npos) return SafeFileName(folder, text, extension);
  return SafeFileName(folder + SafeFolders(text.substr(0, sep)) + L'\\', text.substr(sep + 1),
                      extension);
}

std::wstring WindowsSafePath(const std::wstring& path) {
  const std::wstring text = RemoveControlCharacters(path);
  const size_t sep = text.rfind(L'\\');
  std::wstring folders = sep == std::wstring::npos ? L"" : SafeFolders(text.substr(0, sep)) + L'\\';
  std::wstring last = sep == std::wstring::npos ? text : text.substr(sep + 1);
  if (IsDotName(last)) return folders + last;
  last = WithoutTrailingDotsAndSpaces(last);
  const size_t dot = last.rfind(L'.');
  if (dot == std::wstring::npos) return SafeFileName(folders, last, L"");
  return SafeFileName(folders, last.substr(0, dot), last.substr(dot));
}
