// How texts of the settings file become numbers.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

// A decimal text as a 16-bit integer: blanks around it allowed, a fraction
// rounded to the nearest integer with halves going to the even one ("2.5"
// gives 2, "3.5" gives 4). Empty when it is no number or out of range.
std::optional<int16_t> ParseInt16Setting(const std::wstring& text);

// major * 10000 + minor * 100 + revision in 16-bit signed arithmetic;
// empty on overflow.
std::optional<int> BuildNumber(int major, int minor, int revision);
