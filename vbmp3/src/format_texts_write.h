// The tag editor's seven values written into a FLAC, MP4 or Ogg file's own
// tag: a box whose text differs from what the tag gives is a change, every
// other field is left as it is (the track, which has no box, always).
#pragma once
#include <cstdint>

#include "vbmp3/src/format_write.h"
#include "vbmp3/src/id3v2/id3v2_edit.h"
#include "vbmp3/src/tag_format.h"
#include "vbmp3/src/tag_texts_write.h"

namespace vbmp3 {

// The changes `values` make to `current`. Unless `wholeValues`, a value
// equal to the 127-byte cut of the current text (what the texts record
// carries) is no change.
FormatTextChanges ChangesTo(const FormatTexts& current, const Id3v2Values& values,
                            bool wholeValues);

// Whether the library has a writer for the format's tag.
bool CanWriteTagFormat(TagFormat format);

// Writes them with the format's writer; 0 or a VBMP3_ERR_ number, the file
// unchanged after a failure. `replaced` as for WriteTagValues.
int32_t WriteFormatValues(TagFormat format, RandomAccessFile& file, const Id3v2Values& values,
                          bool wholeValues, const ReplacementSource& replacement, bool& replaced);

}  // namespace vbmp3
