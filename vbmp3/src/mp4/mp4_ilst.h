// iTunes-style metadata: the items of moov/udta/meta/ilst, each a box named
// after its field ("\xA9nam", "trkn", ...) holding one or more "data"
// boxes: a type code (1 = UTF-8 text, 0 = implicit, 21 = big-endian
// integer), a locale, then the value.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "vbmp3/src/audio_properties.h"
#include "vbmp3/src/mp4/mp4_box.h"

namespace vbmp3 {

struct Mp4DataValue {
  uint32_t typeCode = 0;  // the 24-bit well-known type
  const uint8_t* bytes = nullptr;
  size_t size = 0;
};

// The value of a data box from its body (after its header). False when the
// body is too short for the type code and locale.
bool ParseDataBody(const uint8_t* body, size_t size, Mp4DataValue& value);

// The text one data box gives the item of type itemType: for the text
// items their UTF-8 (implicit or stated, broken sequences as U+FFFD) or
// UTF-16 text as UTF-8, "3/12" or "3" for trkn and disk, the genre's name for
// gnre (its number minus one in the ID3v1 list). Empty when the value is
// not of a form the item takes.
std::string ItemValueText(uint32_t itemType, const Mp4DataValue& value);

// The program's texts from an ilst box found in file. Items are read one by
// one and only those the texts use (never cover art); freeform "----" items
// are left alone. Several data boxes in one item, or a text item that comes
// again, give values joined by "; "; the first trkn and disk items count.
// Damage inside the ilst ends the walk with what was read.
void ReadIlstTexts(RandomAccessFile& file, const Mp4Box& ilst, FormatTexts& texts);

}  // namespace vbmp3
