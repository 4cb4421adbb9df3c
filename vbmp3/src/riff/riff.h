// RIFF files: "RIFF", size, form type, then chunks of id, size and payload
// (padded to an even length). Sizes in hostile files are not believed past
// the end of the file.
#pragma once
#include <cstdint>

#include "vbmp3/src/io/byte_window.h"

namespace vbmp3 {

constexpr uint64_t kRiffHeaderLength = 12;
constexpr uint64_t kChunkHeaderLength = 8;
// Our ID3v1 tag in a RIFF file: a chunk of this id whose 128-byte payload is
// the tag itself, written as the last chunk so the file's last 128 bytes are
// the tag too (see README.md).
constexpr char kTagChunkId[4] = {'T', 'A', 'G', ' '};

struct RiffChunk {
  char id[4] = {};
  uint64_t offset = 0;     // of the chunk header
  uint32_t size = 0;       // as declared
  uint64_t available = 0;  // payload bytes actually in the file (<= size)
  uint64_t Payload() const { return offset + kChunkHeaderLength; }
};

class RiffReader {
 public:
  explicit RiffReader(ByteWindow& bytes) : bytes_(bytes) {}

  // Reads the 12-byte header. False if the file is not RIFF.
  bool Open(char formType[4]);
  // End of the form as its header declares (may lie beyond the file's end).
  uint64_t DeclaredEnd() const { return declaredEnd_; }
  // The next chunk, or false at the end of the form, at the end of the file,
  // at a chunk header cut short, or after too many chunks.
  bool Next(RiffChunk& chunk);

 private:
  ByteWindow& bytes_;
  uint64_t declaredEnd_ = 0;
  uint64_t next_ = kRiffHeaderLength;
  int count_ = 0;
};

}  // namespace vbmp3
