// What makes a built or typed name one that Windows can hold as it stands:
// no control characters, no folder whose trailing dots or spaces Windows
// would drop behind the user's back, no device name, and short enough for
// the platform's path limits. Counts are in UTF-16 units, as Windows counts.
#pragma once
#include <cstddef>
#include <string>

inline constexpr size_t kMaxPathUnits = 259;       // MAX_PATH without its NUL
inline constexpr size_t kMaxComponentUnits = 255;  // one folder or file name
// A cut keeps at least this many characters of a file name before its
// extension (all of a shorter one).
inline constexpr size_t kLeastKeptCharacters = 8;

// Whether Windows holds the path as it stands: at most kMaxPathUnits in
// all and kMaxComponentUnits in each component.
bool FitsWindowsLimits(const std::wstring& path);

// The text without U+0000..U+001F and U+007F (a tab or line break from a tag).
std::wstring RemoveControlCharacters(const std::wstring& text);

// The length of a text in UTF-16 units, whatever the width of wchar_t.
size_t Utf16Length(const std::wstring& text);

// The longest start of the text of at most maxUnits UTF-16 units that ends
// at a character boundary: a surrogate pair, and a character with the marks
// that follow it, stay whole.
std::wstring CutAtCharacterBoundary(const std::wstring& text, size_t maxUnits);

// When the part of a component before its first dot, without trailing
// spaces, is CON, PRN, AUX, NUL, COM1..COM9 or LPT1..LPT9 in any case: the
// position just behind that device name. std::wstring::npos otherwise.
size_t ReservedDeviceNameEnd(const std::wstring& component);

// A target path from its parts: folder (the source's folder with its
// separator, or empty for a full-path template) is used as it is; name is
// the expanded template, whose backslashes name folders; extension is the
// source's. Control characters leave the name, folders it names lose their
// trailing dots and spaces, device names get "_" behind them, and the file
// name is cut before the extension to fit the limits, keeping at least
// kLeastKeptCharacters and no trailing spaces; where the folders leave no
// room for that, the name stays whole and the path does not fit.
std::wstring WindowsTargetPath(const std::wstring& folder, const std::wstring& name,
                               const std::wstring& extension);

// The same rules on a whole path a user typed: every folder of it, and its
// file name, whose extension runs from the last dot of its last component.
// A path Windows holds already comes back unchanged; the empty text stays
// empty.
std::wstring WindowsSafePath(const std::wstring& path);
