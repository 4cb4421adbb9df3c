// Writing the boxes the user changed into an Ogg Vorbis or Opus file's
// comment packet. The header pages are laid out anew around the new packet
// (the Vorbis setup header kept as it was); the audio pages keep their
// bytes but for sequence numbers moved, and their CRCs, when the header
// pages became more or fewer.
#pragma once
#include <cstdint>

#include "vbmp3/src/format_write.h"
#include "vbmp3/src/io/file_io.h"
#include "vbmp3/src/tag_texts_write.h"

namespace vbmp3 {

// Room left after the comments when the packet must grow, so that the
// next change may be written in place.
constexpr size_t kNewCommentPadding = 1024;

// Writes `changes` into `file`: in place when the new header pages take as
// many pages and bytes as the old ones, else the whole content goes to the
// replacement and `replaced` is set (the caller puts it in the file's
// place). Returns 0, VBMP3_ERR_OGG_STREAMS for a file of several logical
// streams, VBMP3_ERR_NOT_AUDIO when its headers cannot be read,
// VBMP3_ERR_READ or VBMP3_ERR_WRITE; after a failure `file` is unchanged.
int32_t WriteOggTexts(RandomAccessFile& file, const FormatTextChanges& changes,
                      const ReplacementSource& replacement, bool& replaced);

// The comment packet `old` (Vorbis when `vorbis`, else OpusTags) with
// `changes`; what follows the comments is kept (binary data as it is,
// padding resized so that the packet keeps its length when it can). False
// when `old` is no such packet.
bool NewOggCommentPacket(const std::vector<uint8_t>& old, bool vorbis,
                         const FormatTextChanges& changes, std::vector<uint8_t>& out);

}  // namespace vbmp3
