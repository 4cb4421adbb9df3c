#include "vbmp3/src/io/byte_window.h"

#include <algorithm>
#include <cstring>

namespace vbmp3 {

ByteWindow::ByteWindow(RandomAccessFile& file, size_t firstRead, size_t maxRead, size_t tailRead)
    : file_(file),
      size_(file.Size()),
      nextRead_(firstRead),
      maxRead_(std::max(firstRead, maxRead)),
      tailRead_(tailRead) {}

const uint8_t* ByteWindow::Get(uint64_t offset, size_t n) {
  if (offset > size_ || n > size_ - offset) return nullptr;
  if (offset >= start_ && offset + n <= start_ + length_) return buffer_.get() + (offset - start_);
  if (tail_ && offset >= tailStart_) return tail_.get() + (offset - tailStart_);
  if (FitsOneRead()) {
    if (!Fill(0, size_)) return nullptr;
    return buffer_.get() + offset;
  }
  if (size_ - offset <= tailRead_ && size_ > start_ + length_) {
    if (!FillTail()) return nullptr;
    if (offset >= tailStart_) return tail_.get() + (offset - tailStart_);
  }
  if (!Fill(offset, n)) return nullptr;
  return buffer_.get() + (offset - start_);
}

bool ByteWindow::FillTail() {
  if (failed_) return false;
  const size_t n = static_cast<size_t>(std::min<uint64_t>(tailRead_, size_));
  std::unique_ptr<uint8_t[]> tail(new uint8_t[n]);
  size_t got = 0;
  if (!ReadFully(size_ - n, tail.get(), n, got)) return false;
  if (got != n) return false;  // the file shrank under us
  tail_ = std::move(tail);
  tailStart_ = size_ - n;
  return true;
}

bool ByteWindow::ReadFully(uint64_t offset, uint8_t* into, size_t n, size_t& got) {
  got = 0;
  while (got < n) {
    size_t part = 0;
    if (!file_.ReadAt(offset + got, into + got, n - got, part)) {
      failed_ = true;
      return false;
    }
    if (part == 0) break;
    got += part;
  }
  return true;
}

const uint8_t* ByteWindow::GetSome(uint64_t offset, size_t n, size_t& got) {
  got = 0;
  if (offset >= size_) return nullptr;
  n = static_cast<size_t>(std::min<uint64_t>(n, size_ - offset));
  if (offset < start_ || offset >= start_ + length_) {
    if (!(FitsOneRead() ? Fill(0, size_) : Fill(offset, 1))) return nullptr;
  }
  got = static_cast<size_t>(std::min<uint64_t>(n, start_ + length_ - offset));
  return buffer_.get() + (offset - start_);
}

bool ByteWindow::Fill(uint64_t offset, size_t n) {
  if (failed_) return false;
  // Moving forward past the window means a sequential scan: read more at once.
  const bool forward = length_ != 0 && offset >= start_ + length_ / 2 && offset >= start_;
  if (forward) nextRead_ = std::min(nextRead_ * 2, maxRead_);
  size_t want = std::max(n, nextRead_);
  want = static_cast<size_t>(std::min<uint64_t>(want, size_ - offset));
  // Keep the bytes already read that the new window still covers.
  size_t kept = 0;
  if (offset >= start_ && offset < start_ + length_) {
    kept = static_cast<size_t>(start_ + length_ - offset);
  }
  if (capacity_ < want) {
    std::unique_ptr<uint8_t[]> bigger(new uint8_t[want]);
    if (kept) std::memcpy(bigger.get(), buffer_.get() + (offset - start_), kept);
    buffer_ = std::move(bigger);
    capacity_ = want;
  } else if (kept) {
    std::memmove(buffer_.get(), buffer_.get() + (offset - start_), kept);
  }
  start_ = offset;
  length_ = kept;
  size_t got = 0;
  if (!ReadFully(start_ + length_, buffer_.get() + length_, want - length_, got)) return false;
  length_ += got;
  return length_ >= n;
}

}  // namespace vbmp3
