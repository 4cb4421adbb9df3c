#include "vbmp3/src/flac/flac_subframe.h"

namespace vbmp3 {
namespace {

constexpr unsigned kMaxLpcOrder = 32;

bool FitsInBits(int64_t sample, unsigned bits) {
  int64_t limit = int64_t{1} << (bits - 1);
  return sample >= -limit && sample < limit;
}

// The residual's partitions: each with its own Rice parameter, or escaped
// to samples of a fixed number of raw bits. The first partition is shorter
// by the predictor's warm-up samples.
bool DecodeResidual(FlacBitReader& bits, uint32_t blockSize, unsigned order, int64_t* out) {
  uint32_t method = 0, partitionOrder = 0;
  if (!bits.ReadBits(2, method) || method > 1 || !bits.ReadBits(4, partitionOrder)) return false;
  unsigned parameterBits = method == 0 ? 4 : 5;
  uint32_t escape = (1u << parameterBits) - 1;
  uint32_t partitionSize = blockSize >> partitionOrder;
  if ((partitionSize << partitionOrder) != blockSize || partitionSize < order) return false;
  uint32_t i = order;
  for (uint32_t p = 0; p < (1u << partitionOrder); ++p) {
    uint32_t end = (p + 1) * partitionSize;
    uint32_t parameter = 0;
    if (!bits.ReadBits(parameterBits, parameter)) return false;
    if (parameter == escape) {
      uint32_t rawBits = 0;
      if (!bits.ReadBits(5, rawBits)) return false;
      for (; i < end; ++i) {
        if (!bits.ReadSigned(rawBits, out[i])) return false;
      }
      continue;
    }
    for (; i < end; ++i) {
      int32_t value = 0;
      if (!bits.ReadRice(parameter, value)) return false;
      out[i] = value;
    }
  }
  return true;
}

bool ReadWarmUp(FlacBitReader& bits, unsigned bitsPerSample, unsigned order, int64_t* out) {
  for (unsigned i = 0; i < order; ++i) {
    if (!bits.ReadSigned(bitsPerSample, out[i])) return false;
  }
  return true;
}

// The fixed predictors: differences of order 0-4, run backwards.
bool DecodeFixed(FlacBitReader& bits, unsigned bitsPerSample, uint32_t blockSize, unsigned order,
                 int64_t* s) {
  if (order > blockSize) return false;
  if (!ReadWarmUp(bits, bitsPerSample, order, s)) return false;
  if (!DecodeResidual(bits, blockSize, order, s)) return false;
  for (uint32_t i = order; i < blockSize; ++i) {
    int64_t prediction = 0;
    switch (order) {
      case 1: prediction = s[i - 1]; break;
      case 2: prediction = 2 * s[i - 1] - s[i - 2]; break;
      case 3: prediction = 3 * s[i - 1] - 3 * s[i - 2] + s[i - 3]; break;
      case 4: prediction = 4 * s[i - 1] - 6 * s[i - 2] + 4 * s[i - 3] - s[i - 4]; break;
      default: break;
    }
    s[i] += prediction;
    if (!FitsInBits(s[i], bitsPerSample)) return false;
  }
  return true;
}

// Samples are kept within their size and coefficients within 15 bits, so a
// 64-bit sum of 32 products cannot overflow whatever the input.
bool DecodeLpc(FlacBitReader& bits, unsigned bitsPerSample, uint32_t blockSize, unsigned order,
               int64_t* s) {
  if (order > blockSize) return false;
  if (!ReadWarmUp(bits, bitsPerSample, order, s)) return false;
  uint32_t precisionCode = 0;
  int64_t shift = 0;
  if (!bits.ReadBits(4, precisionCode) || precisionCode == 15) return false;
  if (!bits.ReadSigned(5, shift) || shift < 0) return false;
  int64_t coefficients[kMaxLpcOrder];
  for (unsigned j = 0; j < order; ++j) {
    if (!bits.ReadSigned(precisionCode + 1, coefficients[j])) return false;
  }
  if (!DecodeResidual(bits, blockSize, order, s)) return false;
  for (uint32_t i = order; i < blockSize; ++i) {
    int64_t sum = 0;
    for (unsigned j = 0; j < order; ++j) sum += coefficients[j] * s[i - 1 - j];
    s[i] += sum >> shift;
    if (!FitsInBits(s[i], bitsPerSample)) return false;
  }
  return true;
}

bool DecodeBody(FlacBitReader& bits, uint32_t type, unsigned size, uint32_t blockSize, int64_t* s) {
  if (type == 0) {  // CONSTANT
    int64_t value = 0;
    if (!bits.ReadSigned(size, value)) return false;
    for (uint32_t i = 0; i < blockSize; ++i) s[i] = value;
    return true;
  }
  if (type == 1) {  // VERBATIM
    for (uint32_t i = 0; i < blockSize; ++i) {
      if (!bits.ReadSigned(size, s[i])) return false;
    }
    return true;
  }
  if (type >= 8 && type <= 12) return DecodeFixed(bits, size, blockSize, type - 8, s);
  if (type >= 32) return DecodeLpc(bits, size, blockSize, (type & 31) + 1, s);
  return false;  // reserved
}

}  // namespace

bool DecodeFlacSubframe(FlacBitReader& bits, unsigned bitsPerSample, uint32_t blockSize,
                        int64_t* samples) {
  if (bitsPerSample < 1 || bitsPerSample > 33 || blockSize == 0) return false;
  uint32_t padding = 0, type = 0, hasWasted = 0;
  if (!bits.ReadBits(1, padding) || padding != 0) return false;
  if (!bits.ReadBits(6, type) || !bits.ReadBits(1, hasWasted)) return false;
  uint32_t wasted = 0;
  if (hasWasted) {
    if (!bits.ReadUnary(bitsPerSample, wasted)) return false;
    ++wasted;
    if (wasted >= bitsPerSample) return false;
  }
  unsigned size = bitsPerSample - wasted;
  if (!DecodeBody(bits, type, size, blockSize, samples)) return false;
  if (wasted) {
    for (uint32_t i = 0; i < blockSize; ++i) {
      samples[i] = static_cast<int64_t>(static_cast<uint64_t>(samples[i]) << wasted);
    }
  }
  return true;
}

}  // namespace vbmp3
