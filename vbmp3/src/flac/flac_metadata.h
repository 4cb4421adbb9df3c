// The metadata blocks of a FLAC file: after the "fLaC" marker (which ID3v2
// tags some tools put in front may precede), a chain of blocks, each with a
// 4-byte header (a last-block flag, 7 bits of type, 24 bits of body length),
// up to the first audio frame.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "vbmp3/src/io/file_io.h"

namespace vbmp3 {

enum FlacBlockType : uint8_t {
  kFlacStreamInfo = 0,
  kFlacPadding = 1,
  kFlacApplication = 2,
  kFlacSeekTable = 3,
  kFlacVorbisComment = 4,
  kFlacCueSheet = 5,
  kFlacPicture = 6,
  kFlacInvalidType = 127,
};

struct FlacBlock {
  uint8_t type = 0;
  uint64_t bodyOffset = 0;  // from the start of the file
  uint32_t length = 0;      // bytes of body after the header
};

struct FlacMetadata {
  uint64_t markerOffset = 0;  // where "fLaC" is
  std::vector<FlacBlock> blocks;
  uint64_t firstFrameOffset = 0;  // just after the last block
};

inline constexpr size_t kFlacBlockHeaderSize = 4;

struct FlacBlockHeader {
  bool last = false;
  uint8_t type = 0;
  uint32_t length = 0;
};

FlacBlockHeader ParseFlacBlockHeader(const uint8_t header[kFlacBlockHeaderSize]);

// Walks the blocks. False when the file is not FLAC or its metadata is
// damaged: no marker, a block of the invalid type, a body that runs past the
// end of the file, no last block. A file cut short in its audio still reads.
bool ReadFlacMetadata(RandomAccessFile& file, FlacMetadata& out);

// The body of a block the walk found (its length already checked against the
// file's size); false on a read error or a short read.
bool ReadFlacBlockBody(RandomAccessFile& file, const FlacBlock& block, std::vector<uint8_t>& body);

}  // namespace vbmp3
