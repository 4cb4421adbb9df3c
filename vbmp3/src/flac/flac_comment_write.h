// Writing the tag editor's changes into a FLAC file's VORBIS_COMMENT block.
// In place when the new block fits in the old one and a PADDING block
// directly after it; otherwise the whole file anew through the replacement,
// with 4 KiB of new padding. Every other block keeps its bytes and its
// order, an ID3v2 tag in front stays, and the audio frames are copied as
// they are.
#pragma once
#include <cstdint>

#include "vbmp3/src/format_write.h"
#include "vbmp3/src/io/file_io.h"
#include "vbmp3/src/tag_texts_write.h"

namespace vbmp3 {

inline constexpr uint32_t kFlacNewPadding = 4096;

// 0 or a VBMP3_ERR_ number; after a failure the file is unchanged.
int32_t WriteFlacTexts(RandomAccessFile& file, const FormatTextChanges& changes,
                       const ReplacementSource& replacement, bool& replaced);

}  // namespace vbmp3
