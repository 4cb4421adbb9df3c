// The ilst a tag write leaves: the old one's items byte for byte and in
// their order, except the items of the changed fields. A changed field's
// item takes the place of the first one it had (or goes last when it had
// none) and holds one UTF-8 data box per value; a changed genre also drops
// the gnre item, which would otherwise still name the old one.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "vbmp3/src/format_write.h"
#include "vbmp3/src/mp4/mp4_box.h"

namespace vbmp3 {

// A whole item box of type for text: one data box (type 1, UTF-8) per
// value, values split at "; ", empty values left out. Empty when no value
// is left: the item is then removed.
std::vector<uint8_t> TextItem(uint32_t type, const std::string& text);

// What reading the item TextItem makes gives back: its values joined by
// "; " again.
std::string TextAsRead(const std::string& text);

// The whole new ilst box from the old one in file (null when there is
// none). False when the old ilst is damaged: an item after the damage
// could not be kept.
bool BuildIlst(RandomAccessFile& file, const Mp4Box* ilst, const FormatTextChanges& changes,
               std::vector<uint8_t>& out);

// The 8-byte header of a box of size bytes, header included. The boxes
// written are parts of a moov held in memory, far below 4 GiB.
void PutBoxHeader(std::vector<uint8_t>& out, uint32_t type, uint32_t size);

}  // namespace vbmp3
