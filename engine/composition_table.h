// The Unicode data that composing a name's marks needs (generated into
// composition_table.cpp by tools/make_composition_table.py).
#pragma once

// 0 for a starter.
int CanonicalCombiningClass(char32_t c);
// The character's canonical decomposition, one level deep; second is 0
// when it is a single character. False when it has none.
bool CanonicalDecomposition(char32_t c, char32_t& first, char32_t& second);
// The character the pair composes into under NFC; 0 when none.
char32_t PrimaryComposite(char32_t first, char32_t second);
// Whether NFC would put another single character in its place (a CJK
// compatibility ideograph, U+212B, U+2126, ...).
bool NfcReplacesByOther(char32_t c);
