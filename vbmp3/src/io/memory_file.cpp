#include <algorithm>
#include <cstring>

#include "vbmp3/src/io/file_io.h"

namespace vbmp3 {

bool MemoryFile::ReadAt(uint64_t offset, void* buffer, size_t n, size_t& got) {
  got = 0;
  if (offset >= bytes_.size()) return true;
  got = static_cast<size_t>(std::min<uint64_t>(n, bytes_.size() - offset));
  if (got) std::memcpy(buffer, bytes_.data() + offset, got);
  return true;
}

bool MemoryFile::WriteAt(uint64_t offset, const void* buffer, size_t n) {
  if (offset > bytes_.size()) return false;
  // What fits is written and the rest refused, once, as a disk that fills
  // up or a write error would; writes after that (restoring) succeed.
  const size_t fits = static_cast<size_t>(std::min<uint64_t>(n, writeBudget_));
  if (offset + fits > bytes_.size()) bytes_.resize(static_cast<size_t>(offset + fits));
  if (fits) std::memcpy(bytes_.data() + offset, buffer, fits);
  writeBudget_ = fits == n ? writeBudget_ - fits : UINT64_MAX;
  return fits == n;
}

bool MemoryFile::Resize(uint64_t size) {
  bytes_.resize(static_cast<size_t>(size));
  return true;
}

}  // namespace vbmp3
