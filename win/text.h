// Conversions at the places where a text leaves the program: files, the
// registry and the outside libraries take the ANSI code page.
#pragma once
#include <string>
#include <string_view>

namespace win {

std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view bytes);
// Like ToAnsi, but every character the code page lacks becomes '?', never a
// look-alike ("é" becomes "?", not "e").
std::string ToAnsiWithoutLookAlikes(std::wstring_view text);
std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view bytes);

// Copies text into a fixed-width ANSI field: cut at a character boundary,
// then padded with spaces to the width (no terminating NUL is added).
void FillAnsiField(char* field, size_t width, std::wstring_view text);
// The bytes of a fixed-width ANSI field up to its first NUL, decoded.
std::wstring ReadAnsiField(const char* field, size_t width);

}  // namespace win
