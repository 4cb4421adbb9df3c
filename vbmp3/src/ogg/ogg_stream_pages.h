// The pages after an Ogg stream's header pages, walked to the end of the
// file: checked to belong to that one stream, and copied with their
// sequence numbers moved when the header pages became more or fewer. Bytes
// that are no good page (a damaged page, something appended) are copied
// as they are.
#pragma once
#include <cstdint>

#include "vbmp3/src/io/file_io.h"

namespace vbmp3 {

// Walks `file` from `from`: VBMP3_ERR_OGG_STREAMS when a good page is of
// another stream or begins one, VBMP3_ERR_READ. With `to`, writes what it
// walks there from `toAt` on, each page of the stream numbered
// `sequenceShift` further (its CRC computed again), VBMP3_ERR_WRITE when
// that fails; the rewrite step hook runs after each block written.
int32_t WalkOggStreamPages(RandomAccessFile& file, uint64_t from, uint32_t serial,
                           uint32_t sequenceShift, RandomAccessFile* to, uint64_t toAt);

}  // namespace vbmp3
