// Changing the boxes the user edited in a Vorbis comment structure (an Ogg
// comment packet's body, a FLAC VORBIS_COMMENT block) and nothing else: the
// vendor text and every other field keep their bytes and their order.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "vbmp3/src/format_write.h"

namespace vbmp3 {

// The structure at data with the changed fields replaced: a changed text is
// split at "; " into values that take the place of the field's first one
// (or follow the last field when it had none), its other values dropped; an
// empty text removes the field. `consumed` is the length of the old
// structure, so the caller keeps what follows it. False when it is damaged.
bool EditXiphComment(const uint8_t* data, size_t size, const FormatTextChanges& changes,
                     std::vector<uint8_t>& out, size_t& consumed);

}  // namespace vbmp3
