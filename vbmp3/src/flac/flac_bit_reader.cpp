#include "vbmp3/src/flac/flac_bit_reader.h"

#include <bit>

namespace vbmp3 {

bool FlacBitReader::ReadBits(unsigned n, uint32_t& value) {
  if (n > 32) return false;
  if (n == 0) {
    value = 0;
    return true;
  }
  if (BitsLeft() < n) return Fail();
  size_t byte = BytePosition();
  unsigned skip = static_cast<unsigned>(position_ & 7);
  unsigned bytes = (skip + n + 7) / 8;  // at most 5
  uint64_t window = 0;
  for (unsigned i = 0; i < bytes; ++i) window = (window << 8) | data_[byte + i];
  window >>= bytes * 8 - skip - n;
  value = static_cast<uint32_t>(window & ((uint64_t{1} << n) - 1));
  position_ += n;
  return true;
}

bool FlacBitReader::ReadSigned(unsigned n, int64_t& value) {
  if (n > 33) return false;
  if (n == 0) {
    value = 0;
    return true;
  }
  uint32_t high = 0, low = 0;
  unsigned highBits = n > 32 ? 1 : 0;
  if (BitsLeft() < n) return Fail();
  if (!ReadBits(highBits, high) || !ReadBits(n - highBits, low)) return false;
  uint64_t raw = (uint64_t{high} << (n - highBits)) | low;
  uint64_t sign = uint64_t{1} << (n - 1);
  value = static_cast<int64_t>(raw ^ sign) - static_cast<int64_t>(sign);
  return true;
}

bool FlacBitReader::ReadUnary(uint32_t limit, uint32_t& zeros) {
  uint32_t count = 0;
  while (true) {
    if (BitsLeft() == 0) return Fail();
    unsigned skip = static_cast<unsigned>(position_ & 7);
    uint8_t bits = static_cast<uint8_t>(data_[BytePosition()] << skip);
    if (bits != 0) {
      unsigned lead = static_cast<unsigned>(std::countl_zero(bits));
      count += lead;
      position_ += lead + 1;
      if (count > limit) return false;
      zeros = count;
      return true;
    }
    count += 8 - skip;
    position_ += 8 - skip;
    if (count > limit) return false;
  }
}

bool FlacBitReader::ReadRice(unsigned k, int32_t& value) {
  if (k > 31) return false;
  // A quotient this long cannot give a value that fits.
  uint32_t limit = static_cast<uint32_t>(UINT32_MAX >> k);
  uint32_t quotient = 0, remainder = 0;
  if (!ReadUnary(limit, quotient) || !ReadBits(k, remainder)) return false;
  uint64_t folded = (uint64_t{quotient} << k) | remainder;
  if (folded > UINT32_MAX) return false;
  uint32_t u = static_cast<uint32_t>(folded);
  value = static_cast<int32_t>(u >> 1) ^ -static_cast<int32_t>(u & 1);
  return true;
}

bool FlacBitReader::ReadUtf8Number(uint64_t& value) {
  if (!OnByteBoundary()) return false;
  uint32_t first = 0;
  if (!ReadBits(8, first)) return false;
  unsigned ones = static_cast<unsigned>(std::countl_one(static_cast<uint8_t>(first)));
  if (ones == 0) {
    value = first;
    return true;
  }
  // 10xxxxxx cannot start a number; 11111111 is no form at all.
  if (ones == 1 || ones > 7) return false;
  uint64_t result = first & (0x7Fu >> ones);
  for (unsigned i = 1; i < ones; ++i) {
    uint32_t next = 0;
    if (!ReadBits(8, next)) return false;
    if ((next & 0xC0) != 0x80) return false;
    result = (result << 6) | (next & 0x3F);
  }
  value = result;
  return true;
}

}  // namespace vbmp3
