// Text clean-up for what a socket library hands back: C strings read into a
// fixed buffer arrive with NULs and leading line breaks.
#pragma once
#include <string>
#include <string_view>

namespace sstp {

// The text before its first NUL character, or the whole text without one.
std::wstring CutAtNull(std::wstring_view text);

// A text without any NUL is returned unchanged. Otherwise the NUL, CR and LF
// characters at its front are removed (all of it, if it has nothing else).
std::wstring TrimLeadingBreaks(std::wstring_view text);

// TrimLeadingBreaks, then CutAtNull.
std::wstring CleanText(std::wstring_view text);

}  // namespace sstp
