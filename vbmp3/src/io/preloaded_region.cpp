#include "vbmp3/src/io/preloaded_region.h"

#include <cstring>

namespace vbmp3 {

PreloadedRegion::PreloadedRegion(RandomAccessFile& file, uint64_t begin, uint64_t end)
    : file_(file), begin_(begin) {
  if (end <= begin || end > file.Size()) return;
  const size_t n = static_cast<size_t>(end - begin);
  // A region of a file that is itself a region is borrowed, not copied.
  if (const uint8_t* held = file.View(begin, n)) {
    bytes_ = held;
    length_ = n;
    return;
  }
  owned_.reset(new uint8_t[n]);
  size_t got = 0;
  if (!file.ReadAt(begin, owned_.get(), n, got) || got != n) {
    owned_.reset();
    return;
  }
  bytes_ = owned_.get();
  length_ = n;
}

const uint8_t* PreloadedRegion::View(uint64_t offset, size_t n) const {
  if (bytes_ && offset >= begin_ && offset - begin_ <= length_ && n <= length_ - (offset - begin_))
    return bytes_ + (offset - begin_);
  return file_.View(offset, n);
}

bool PreloadedRegion::ReadAt(uint64_t offset, void* buffer, size_t n, size_t& got) {
  if (const uint8_t* held = View(offset, n)) {
    if (n) std::memcpy(buffer, held, n);
    got = n;
    return true;
  }
  return file_.ReadAt(offset, buffer, n, got);
}

void PreloadedRegion::Forget() {
  owned_.reset();
  bytes_ = nullptr;
  length_ = 0;
}

// Writing goes to the file, and the copy forgets what it held.
bool PreloadedRegion::WriteAt(uint64_t offset, const void* buffer, size_t n) {
  Forget();
  return file_.WriteAt(offset, buffer, n);
}

bool PreloadedRegion::Resize(uint64_t size) {
  Forget();
  return file_.Resize(size);
}

}  // namespace vbmp3
