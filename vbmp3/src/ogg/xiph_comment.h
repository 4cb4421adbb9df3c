// The Vorbis comment structure: the tag of FLAC files (their VORBIS_COMMENT
// block) and of Ogg Vorbis and Opus streams (their comment header, after
// its packet type). A vendor text, then NAME=value fields in UTF-8, each
// name any number of times, in an order the writer chose.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vbmp3/src/audio_properties.h"

namespace vbmp3 {

struct XiphComment {
  std::string vendor;
  // Each field's name as written and its value, in the order of the block.
  std::vector<std::pair<std::string, std::string>> fields;
};

// Reads the structure at data (size bytes: the block, or the packet after
// its type bytes). False when it is damaged: a length or count that runs
// past the bytes is damage, never a reason to allocate for it. A field
// without "=" is skipped.
bool ParseXiphComment(const uint8_t* data, size_t size, XiphComment& out);

// The values of the field called name, the name matched without regard to
// ASCII case, in their order.
std::vector<std::string> XiphValues(const XiphComment& comment, std::string_view name);

// The program's texts from the fields: TITLE, ARTIST, ALBUM, DATE (else
// YEAR), COMMENT (else DESCRIPTION), GENRE, TRACKNUMBER, ALBUMARTIST,
// DISCNUMBER.
FormatTexts TextsFromXiphComment(const XiphComment& comment);

}  // namespace vbmp3
