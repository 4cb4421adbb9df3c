// Code page 932 as Windows defines it: Shift_JIS with the NEC and IBM
// extensions and the user-defined rows. The conversions come from a table
// generated once (tools/make_cp932_table.py), so that the DLL and the native
// build give the same bytes for the same text.
#pragma once
#include <string>
#include <string_view>

namespace vbmp3 {

// True when `bytes` are Shift_JIS text beyond doubt: at least one
// double-byte character, and every byte ASCII, a half-width katakana or
// part of an assigned double-byte character. The user-defined rows
// (lead bytes 0xF0-0xF9) do not count: a Latin-1 letter before an ASCII one
// falls in them.
bool IsShiftJisText(std::string_view bytes);

// Code page 932 bytes as UTF-8; a byte that starts no character becomes
// U+FFFD.
std::string Cp932ToUtf8(std::string_view bytes);

// UTF-8 as code page 932 bytes; a character the code page cannot hold
// becomes '?', as WideCharToMultiByte's default does. A character with two
// byte pairs (the NEC and IBM extensions repeat some) takes the one Windows
// writes.
std::string Utf8ToCp932(std::string_view utf8);

}  // namespace vbmp3
