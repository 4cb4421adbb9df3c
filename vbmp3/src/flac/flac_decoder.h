// A FLAC stream decoded frame by frame into interleaved signed PCM, read
// from a file in modest chunks. A damaged frame (an impossible header, a
// subframe that does not decode, a CRC-16 that does not match) is skipped:
// decoding goes on at the next frame header that checks out.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "vbmp3/src/flac/flac_frame.h"
#include "vbmp3/src/flac/flac_stream_info.h"
#include "vbmp3/src/io/file_io.h"

namespace vbmp3 {

class FlacDecoder {
 public:
  // `firstFrame` is the offset of the first frame (after the metadata
  // blocks); `info` is the stream's STREAMINFO, which gives what frame
  // headers leave to it.
  FlacDecoder(RandomAccessFile& file, uint64_t firstFrame, const FlacStreamInfo& info);

  // The next good frame's samples, interleaved by channel, as they are coded
  // (`Header().bitsPerSample` bits, signed). False at the end of the stream
  // or when the file cannot be read.
  bool DecodeFrame(std::vector<int32_t>& interleaved);

  // The header of the frame DecodeFrame last gave.
  const FlacFrameHeader& Header() const { return header_; }
  // Where that frame starts in the file, and where the next one is looked for.
  uint64_t FrameOffset() const { return frameOffset_; }
  uint64_t Position() const { return position_; }
  // Bytes passed over because they were not a good frame.
  uint64_t SkippedBytes() const { return skippedBytes_; }
  bool ReadFailed() const { return readFailed_; }

 private:
  // Makes at least `n` bytes from `offset` on (or all up to the end) be in
  // the buffer; what is there is `Available()`.
  bool Fill(uint64_t offset, size_t n);
  const uint8_t* At(uint64_t offset) const { return buffer_.data() + (offset - bufferStart_); }
  size_t Available(uint64_t offset) const { return bufferStart_ + buffer_.size() - offset; }
  bool AtEnd(uint64_t offset, size_t n) const { return offset + n >= fileSize_; }

  FlacParse TryHeader(uint64_t offset, FlacFrameHeader& header);
  FlacParse TryFrame(uint64_t offset, const FlacFrameHeader& header, size_t& frameSize);
  bool DecodeChannels(const uint8_t* frame, size_t size, const FlacFrameHeader& header,
                      size_t& used, bool& ranOut);
  void Interleave(const FlacFrameHeader& header, std::vector<int32_t>& out) const;
  bool NextCandidate(uint64_t& offset);
  size_t LargestFrame(const FlacFrameHeader& header) const;

  RandomAccessFile& file_;
  FlacStreamInfo info_;
  uint64_t fileSize_;
  uint64_t position_;
  std::vector<uint8_t> buffer_;
  uint64_t bufferStart_ = 0;
  // One block per channel, grown as blocks need it; every sample is written
  // by its subframe before it is read, so it is left uninitialised.
  std::unique_ptr<int64_t[]> channels_;
  size_t channelsCapacity_ = 0;
  FlacFrameHeader header_;
  uint64_t frameOffset_ = 0;
  uint64_t skippedBytes_ = 0;
  bool readFailed_ = false;
};

}  // namespace vbmp3
