// One line of the probe's output: a file's records as a JSON object.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "vbmp3/include/vbmp3.h"

namespace vbmp3probe {

// Decodes code page 932 bytes to UTF-8 (the platform provides it).
std::string Cp932ToUtf8(std::string_view bytes);

// {"file":..., the TagRecord and StreamInfoRecord fields by name} when `ok`,
// else {"file":..., "error":number}. `file` is UTF-8.
std::string JsonLine(std::string_view file, bool ok, int32_t error, const TagRecord& tag,
                     const StreamInfoRecord& info);

std::string JsonString(std::string_view utf8);

}  // namespace vbmp3probe
