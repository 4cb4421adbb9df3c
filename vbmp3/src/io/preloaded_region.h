// A file whose bytes in one region were read ahead in a single read: the
// parsers that walk many small structures there (MP4's boxes in moov) then
// cost one read instead of one a box. Reads elsewhere go to the file.
#pragma once
#include <cstdint>
#include <vector>

#include "vbmp3/src/io/file_io.h"

namespace vbmp3 {

class PreloadedRegion : public RandomAccessFile {
 public:
  // Reads [begin, end) of `file` now; when that fails every read goes to the
  // file as if nothing were preloaded.
  PreloadedRegion(RandomAccessFile& file, uint64_t begin, uint64_t end);
  // The region [begin, begin + n) from bytes already read.
  PreloadedRegion(RandomAccessFile& file, uint64_t begin, const uint8_t* bytes, size_t n)
      : file_(file), begin_(begin), bytes_(bytes, bytes + n) {}

  uint64_t Size() const override { return file_.Size(); }
  bool ReadAt(uint64_t offset, void* buffer, size_t n, size_t& got) override;
  bool WriteAt(uint64_t offset, const void* buffer, size_t n) override;
  bool Resize(uint64_t size) override;
  bool Flush() override { return file_.Flush(); }

 private:
  RandomAccessFile& file_;
  uint64_t begin_ = 0;
  std::vector<uint8_t> bytes_;
};

}  // namespace vbmp3
