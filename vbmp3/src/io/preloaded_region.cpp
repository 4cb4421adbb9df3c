#include "vbmp3/src/io/preloaded_region.h"

#include <cstring>

namespace vbmp3 {

PreloadedRegion::PreloadedRegion(RandomAccessFile& file, uint64_t begin, uint64_t end)
    : file_(file), begin_(begin) {
  if (end <= begin || end > file.Size()) return;
  bytes_.resize(static_cast<size_t>(end - begin));
  size_t got = 0;
  if (!file.ReadAt(begin, bytes_.data(), bytes_.size(), got) || got != bytes_.size())
    bytes_.clear();
}

bool PreloadedRegion::ReadAt(uint64_t offset, void* buffer, size_t n, size_t& got) {
  if (offset >= begin_ && offset - begin_ <= bytes_.size() &&
      n <= bytes_.size() - (offset - begin_) && !bytes_.empty()) {
    std::memcpy(buffer, bytes_.data() + (offset - begin_), n);
    got = n;
    return true;
  }
  return file_.ReadAt(offset, buffer, n, got);
}

// Writing goes to the file, and the copy forgets what it held.
bool PreloadedRegion::WriteAt(uint64_t offset, const void* buffer, size_t n) {
  bytes_.clear();
  return file_.WriteAt(offset, buffer, n);
}

bool PreloadedRegion::Resize(uint64_t size) {
  bytes_.clear();
  return file_.Resize(size);
}

}  // namespace vbmp3
