#include "vbmp3/src/flac/flac_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "vbmp3/src/flac/flac_metadata.h"
#include "vbmp3/src/flac/flac_stream_info.h"
#include "vbmp3/src/ogg/xiph_comment.h"

namespace vbmp3 {
namespace {

constexpr uint64_t kId3v1Size = 128;

bool ReadStreamInfo(RandomAccessFile& file, const FlacMetadata& metadata, FlacStreamInfo& info) {
  if (metadata.blocks.empty()) return false;
  FlacBlock block = metadata.blocks.front();
  if (block.type != kFlacStreamInfo || block.length < kFlacStreamInfoSize) return false;
  block.length = kFlacStreamInfoSize;  // what follows the known fields is not ours to read
  std::vector<uint8_t> body;
  return ReadFlacBlockBody(file, block, body) &&
         ParseFlacStreamInfo(body.data(), body.size(), info);
}

// The texts of the first comment block; empty when there is none.
bool ReadTexts(RandomAccessFile& file, const FlacMetadata& metadata, FormatTexts& texts) {
  const auto found =
      std::find_if(metadata.blocks.begin(), metadata.blocks.end(),
                   [](const FlacBlock& block) { return block.type == kFlacVorbisComment; });
  texts = {};
  if (found == metadata.blocks.end()) return true;
  std::vector<uint8_t> body;
  XiphComment comment;
  if (!ReadFlacBlockBody(file, *found, body) ||
      !ParseXiphComment(body.data(), body.size(), comment))
    return false;
  texts = TextsFromXiphComment(comment);
  return true;
}

bool EndsWithId3v1(RandomAccessFile& file, uint64_t audioStart) {
  const uint64_t size = file.Size();
  if (size < kId3v1Size || size - kId3v1Size < audioStart) return false;
  char marker[3] = {};
  size_t got = 0;
  return file.ReadAt(size - kId3v1Size, marker, sizeof(marker), got) && got == sizeof(marker) &&
         std::memcmp(marker, "TAG", 3) == 0;
}

}  // namespace

bool ReadFlacFile(RandomAccessFile& file, AudioProperties& properties, FormatTexts& texts) {
  FlacMetadata metadata;
  FlacStreamInfo info;
  if (!ReadFlacMetadata(file, metadata) || !ReadStreamInfo(file, metadata, info)) return false;
  if (info.sampleRate == 0) return false;
  FormatTexts found;
  if (!ReadTexts(file, metadata, found)) return false;
  AudioProperties p;
  p.format = "FLAC";
  p.channels = static_cast<int32_t>(info.channels);
  p.samplingRate = static_cast<int32_t>(info.sampleRate);
  p.bitsPerSample = static_cast<int32_t>(info.bitsPerSample);
  p.seconds = static_cast<double>(info.totalSamples) / info.sampleRate;
  const uint64_t start = metadata.firstFrameOffset;
  p.audioBytes = file.Size() - start - (EndsWithId3v1(file, start) ? kId3v1Size : 0);
  properties = p;
  texts = found;
  return true;
}

}  // namespace vbmp3
