// The forms a built name's characters are brought into: marks composed as
// Unicode Normalization Form C composes them, and, as an option, one width
// for Latin letters, digits, symbols and katakana.
#pragma once
#include <string>

// The text with its combining sequences composed as NFC composes them
// ("シ" U+3099 gives "ジ"), but a character NFC would replace by another
// single one (塚 U+FA10, U+212B, U+2126) stays as written, so no text code
// page 932 can hold changes.
std::wstring ComposeLikeNfc(const std::wstring& text);

// Full-width ASCII letters, digits and symbols (U+FF01..U+FF5E) as ASCII,
// half-width katakana and their marks as full-width, a voiced mark joined
// with the kana before it ("ｶﾞ" gives "ガ").
std::wstring NormalizeWidth(const std::wstring& text);
