// One channel of a FLAC frame: CONSTANT, VERBATIM, FIXED (orders 0-4) or
// LPC (orders 1-32) subframes, their wasted bits, and the Rice-coded
// residual the predictors leave.
#pragma once
#include <cstdint>

#include "vbmp3/src/flac/flac_bit_reader.h"

namespace vbmp3 {

// Decodes a subframe of `blockSize` samples of `bitsPerSample` bits (1..33:
// a side channel has one more than the frame) into `samples`. False when it
// is damaged: a reserved code, a predictor longer than the block, a sample
// or residual that does not fit its size, or the bits ran out (see
// FlacBitReader::RanOut).
bool DecodeFlacSubframe(FlacBitReader& bits, unsigned bitsPerSample, uint32_t blockSize,
                        int64_t* samples);

}  // namespace vbmp3
