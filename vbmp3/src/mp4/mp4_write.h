// Writing the changed texts of an MP4 file's iTunes items. The new moov goes
// where the old one was when it fits there with a free box directly after
// it (which shrinks or grows); else the whole file is written anew to the
// replacement, with every chunk offset past the moov moved by the
// difference so that the samples are found at their bytes.
#pragma once
#include <cstdint>

#include "vbmp3/src/format_write.h"
#include "vbmp3/src/io/file_io.h"
#include "vbmp3/src/tag_texts_write.h"

namespace vbmp3 {

// Returns 0 or a VBMP3_ERR_ number: VBMP3_ERR_NOT_AUDIO when the file is
// not an MP4 file, VBMP3_ERR_MP4_LAYOUT for fragmented or protected files
// and moovs that cannot be moved (a 32-bit chunk offset that would pass
// 4 GiB), VBMP3_ERR_TAG_NOT_REWRITABLE when the items are damaged. Sets
// `replaced` when the content went to the replacement, which the caller
// then puts in the file's place. After a failure `file` is unchanged.
int32_t WriteMp4Texts(RandomAccessFile& file, const FormatTextChanges& changes,
                      const ReplacementSource& replacement, bool& replaced);

}  // namespace vbmp3
