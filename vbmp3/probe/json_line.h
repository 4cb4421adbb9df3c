// One line of the probe's output: a file's records as a JSON object.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/id3v2/id3v2_edit.h"

namespace vbmp3probe {

// Decodes code page 932 bytes to UTF-8 (the platform provides it).
std::string Cp932ToUtf8(std::string_view bytes);

// The tags a file holds, as "1.0", "1.1", "2.2", "2.3", "2.4".
struct Versions {
  int id3v1 = 0;  // 0, 10, 11
  int id3v2 = 0;  // 0, 2, 3, 4
};

// What newer exports add: the album artist and disc after the seven values,
// and the format record.
struct MoreFields {
  std::string albumArtist, disc;
  const FormatInfoRecord* format = nullptr;  // null: the library has no such export
};

// {"file":..., the TagRecord and StreamInfoRecord fields by name, then
// "TagVersions" and the ID3v2 values as "ID3v2Title" ...: `whole`, or
// without them (an older library) those of TagTextsRecord, then `more`:
// "AlbumArtist", "Disc", "Format", "BitsPerSample"} when `ok`, else
// {"file":..., "error":number}. `file` is UTF-8.
std::string JsonLine(std::string_view file, bool ok, int32_t error, const TagRecord& tag,
                     const StreamInfoRecord& info, const TagTextsRecord& texts,
                     const Versions& versions, const vbmp3::Id3v2Values* whole = nullptr,
                     const MoreFields* more = nullptr);

std::string JsonString(std::string_view utf8);

}  // namespace vbmp3probe
