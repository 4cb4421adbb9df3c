// Changes to a moov box held in memory (a MemoryFile whose first box is the
// moov, so offsets count from its start): the new ilst spliced in with every
// parent's size following, the chunk offsets moved with the audio, and the
// layouts a tag write must leave alone.
#pragma once
#include <cstdint>
#include <vector>

#include "vbmp3/src/format_write.h"
#include "vbmp3/src/mp4/mp4_box.h"

namespace vbmp3 {

// The moov with the changed items: the old ilst replaced, or a new
// udta/meta/ilst path added where the moov had none (meta as the full box
// with the handler iTunes writes). A free box directly after the old ilst
// in its meta gives or takes the difference, so the moov keeps its size
// when it can. Returns 0 or a VBMP3_ERR_ number.
int32_t PutIlst(MemoryFile& moov, const FormatTextChanges& changes, std::vector<uint8_t>& out);

// Fragmented (mvex) or protected (drms, sinf in a sample entry) tracks.
bool HasFragmentsOrProtection(MemoryFile& moov);

// Adds delta to every chunk offset (stco, co64, in every track) at or past
// from. False, with moov unchanged, when a table is damaged or a 32-bit
// offset would leave its range.
bool ShiftChunkOffsets(MemoryFile& moov, uint64_t from, int64_t delta);

}  // namespace vbmp3
