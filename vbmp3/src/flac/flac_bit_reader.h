// Bits of a FLAC frame, most significant first, over bytes already in
// memory. Every read is checked against the end: a read that would pass it
// fails, reads nothing and marks the reader as having run out, which tells
// a caller holding only part of a frame to fetch more and try again.
#pragma once
#include <cstddef>
#include <cstdint>

namespace vbmp3 {

class FlacBitReader {
 public:
  FlacBitReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  // `n` bits (0..32) as an unsigned value.
  bool ReadBits(unsigned n, uint32_t& value);
  // `n` bits (0..33) as a two's complement value.
  bool ReadSigned(unsigned n, int64_t& value);
  // Zero bits up to and including a one bit; `zeros` counts the zeros.
  // Fails (without running out) once the count passes `limit`.
  bool ReadUnary(uint32_t limit, uint32_t& zeros);
  // A Rice code with parameter `k` (0..31), folded back to a signed value;
  // fails on a code whose folded value does not fit in 32 bits.
  bool ReadRice(unsigned k, int32_t& value);
  // A frame or sample number coded like UTF-8, up to 7 bytes (36 bits).
  // Must start on a byte boundary.
  bool ReadUtf8Number(uint64_t& value);

  // Skips to the next byte boundary (nothing when already on one).
  void AlignToByte() { position_ = (position_ + 7) & ~uint64_t{7}; }
  size_t BytePosition() const { return static_cast<size_t>(position_ >> 3); }
  bool OnByteBoundary() const { return (position_ & 7) == 0; }
  bool RanOut() const { return ranOut_; }

 private:
  uint64_t BitsLeft() const { return uint64_t{size_} * 8 - position_; }
  bool Fail() {
    ranOut_ = true;
    return false;
  }

  const uint8_t* data_;
  size_t size_;
  uint64_t position_ = 0;  // in bits
  bool ranOut_ = false;
};

}  // namespace vbmp3
