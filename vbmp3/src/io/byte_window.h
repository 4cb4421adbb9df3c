// A read-ahead window over a RandomAccessFile, so that parsers ask for bytes
// by offset while the file is read in few, large, sequential reads.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "vbmp3/src/io/file_io.h"

namespace vbmp3 {

class ByteWindow {
 public:
  // Reads start at `firstRead` bytes and grow while the caller moves
  // forward, up to `maxRead`. The last `tailRead` bytes of the file, where
  // the tags are, are kept apart so that looking at them costs one read and
  // does not throw away the window at the front.
  explicit ByteWindow(RandomAccessFile& file, size_t firstRead = 8 * 1024,
                      size_t maxRead = 1024 * 1024, size_t tailRead = 4 * 1024);

  // The `n` bytes at `offset`, or null when they are not all in the file
  // (or a read failed: see Failed()). Valid until the next call.
  const uint8_t* Get(uint64_t offset, size_t n);
  // As many of the bytes at [offset, offset + n) as the window can give at
  // once (at least one unless at the end of the file or on failure).
  const uint8_t* GetSome(uint64_t offset, size_t n, size_t& got);

  uint64_t FileSize() const { return size_; }
  // The bytes the window holds now, from `start`; null when it holds none.
  const uint8_t* Held(uint64_t& start, size_t& length) const {
    start = start_;
    length = length_;
    return length_ ? buffer_.get() : nullptr;
  }
  bool Failed() const { return failed_; }

 private:
  // A file no larger than the first read is read whole, in one read, however
  // the caller walks it (tag at the end first, then the stream).
  bool FitsOneRead() const { return size_ <= nextRead_; }
  bool Fill(uint64_t offset, size_t n);
  bool FillTail();
  bool ReadFully(uint64_t offset, uint8_t* into, size_t n, size_t& got);

  RandomAccessFile& file_;
  uint64_t size_;
  std::unique_ptr<uint8_t[]> buffer_;  // uninitialised: every byte used is read first
  size_t capacity_ = 0;
  uint64_t start_ = 0;  // file offset of buffer_[0]
  size_t length_ = 0;   // valid bytes in buffer_
  size_t nextRead_;
  size_t maxRead_;
  size_t tailRead_;
  std::unique_ptr<uint8_t[]> tail_;  // null until needed
  uint64_t tailStart_ = 0;           // file offset of tail_[0]
  bool failed_ = false;
};

}  // namespace vbmp3
