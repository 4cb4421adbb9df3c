// Names of the ID3v1 genre numbers: 0-79 of the original list and the
// Winamp extensions up to 191.
#pragma once
#include <string_view>

namespace vbmp3 {

constexpr int kGenreCount = 192;

// The name of genre `number`, or an empty view for 255 ("none") and every
// number without a name.
std::string_view GenreName(int number);

}  // namespace vbmp3
