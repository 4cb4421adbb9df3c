// A file whose bytes in one region were read ahead in a single read: the
// parsers that walk many small structures there (MP4's boxes in moov) then
// cost one read instead of one a box. Reads elsewhere go to the file.
#pragma once
#include <cstdint>
#include <memory>

#include "vbmp3/src/io/file_io.h"

namespace vbmp3 {

class PreloadedRegion : public RandomAccessFile {
 public:
  // Holds [begin, end) of `file`: the file's own bytes where it has them in
  // memory, else read now; when that read fails every read goes to the file
  // as if nothing were preloaded.
  PreloadedRegion(RandomAccessFile& file, uint64_t begin, uint64_t end);
  // The region [begin, begin + n) from bytes already read, which must stay
  // as they are while this lives.
  PreloadedRegion(RandomAccessFile& file, uint64_t begin, const uint8_t* bytes, size_t n)
      : file_(file), begin_(begin), bytes_(bytes), length_(n) {}

  uint64_t Size() const override { return file_.Size(); }
  bool ReadAt(uint64_t offset, void* buffer, size_t n, size_t& got) override;
  bool WriteAt(uint64_t offset, const void* buffer, size_t n) override;
  bool Resize(uint64_t size) override;
  bool Flush() override { return file_.Flush(); }
  const uint8_t* View(uint64_t offset, size_t n) const override;

  uint64_t End() const { return begin_ + length_; }

 private:
  void Forget();

  RandomAccessFile& file_;
  uint64_t begin_ = 0;
  std::unique_ptr<uint8_t[]> owned_;  // uninitialised: filled by the read
  const uint8_t* bytes_ = nullptr;    // owned_ or another's bytes
  size_t length_ = 0;
};

}  // namespace vbmp3
