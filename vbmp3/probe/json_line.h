// One line of the probe's output: a file's records as a JSON object.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "vbmp3/include/vbmp3.h"

namespace vbmp3probe {

// Decodes code page 932 bytes to UTF-8 (the platform provides it).
std::string Cp932ToUtf8(std::string_view bytes);

// The tags a file holds, as "1.0", "1.1", "2.2", "2.3", "2.4".
struct Versions {
  int id3v1 = 0;  // 0, 10, 11
  int id3v2 = 0;  // 0, 2, 3, 4
};

// {"file":..., the TagRecord and StreamInfoRecord fields by name, then
// "TagVersions" and the ID3v2 values of TagTextsRecord as "ID3v2Title" ...}
// when `ok`, else {"file":..., "error":number}. `file` is UTF-8.
std::string JsonLine(std::string_view file, bool ok, int32_t error, const TagRecord& tag,
                     const StreamInfoRecord& info, const TagTextsRecord& texts,
                     const Versions& versions);

std::string JsonString(std::string_view utf8);

}  // namespace vbmp3probe
