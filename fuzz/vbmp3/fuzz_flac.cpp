// FLAC files on any bytes: ID3v2 tags in front, the metadata block walk,
// STREAMINFO and the Vorbis comment block; in memory and as a file on disk
// alike.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/vbmp3/read_from_disk.h"
#include "vbmp3/src/flac/flac_file.h"
#include "vbmp3/src/flac/flac_metadata.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vbmp3::MemoryFile file(data, size);
  vbmp3::FlacMetadata metadata;
  if (vbmp3::ReadFlacMetadata(file, metadata)) {
    if (metadata.firstFrameOffset > size || metadata.blocks.empty()) abort();
    for (const vbmp3::FlacBlock& block : metadata.blocks)
      if (block.bodyOffset + block.length > metadata.firstFrameOffset) abort();
  }
  vbmp3::AudioProperties properties;
  vbmp3::FormatTexts texts;
  const bool read = vbmp3::ReadFlacFile(file, properties, texts);
  fuzz::ExpectSameFromDisk(vbmp3::TagFormat::kFlac, data, size, read, properties, texts);
  if (read) {
    if (properties.audioBytes > size || properties.channels < 1 || properties.channels > 8 ||
        properties.samplingRate <= 0 || properties.seconds < 0)
      abort();
  }
  return 0;
}
