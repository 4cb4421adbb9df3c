#include "vbmp3/src/flac/flac_decoder.h"

#include <algorithm>
#include <cstring>

#include "vbmp3/src/flac/flac_bit_reader.h"
#include "vbmp3/src/flac/flac_subframe.h"

namespace vbmp3 {
namespace {

// Reads are at least this large: a few frames of a CD-quality stream.
constexpr size_t kFlacReadChunk = 64 * 1024;

bool IsSideChannel(FlacChannels assignment, uint32_t channel) {
  switch (assignment) {
    case FlacChannels::LeftSide: return channel == 1;
    case FlacChannels::RightSide: return channel == 0;
    case FlacChannels::MidSide: return channel == 1;
    default: return false;
  }
}

}  // namespace

FlacDecoder::FlacDecoder(RandomAccessFile& file, uint64_t firstFrame, const FlacStreamInfo& info)
    : file_(file), info_(info), fileSize_(file.Size()), position_(firstFrame) {}

bool FlacDecoder::Fill(uint64_t offset, size_t n) {
  uint64_t bufferEnd = bufferStart_ + buffer_.size();
  if (offset < bufferStart_ || offset > bufferEnd) {
    buffer_.clear();
    bufferStart_ = offset;
    bufferEnd = offset;
  }
  if (offset >= fileSize_) return true;
  uint64_t wantEnd = offset + std::max(n, kFlacReadChunk);
  wantEnd = std::min(wantEnd, fileSize_);
  if (bufferEnd >= std::min<uint64_t>(offset + n, fileSize_)) return true;
  // Keep what is still ahead, then read the rest behind it.
  size_t keep = static_cast<size_t>(bufferEnd - offset);
  if (keep) std::memmove(buffer_.data(), buffer_.data() + (offset - bufferStart_), keep);
  bufferStart_ = offset;
  buffer_.resize(static_cast<size_t>(wantEnd - offset));
  size_t filled = keep;
  while (filled < buffer_.size()) {
    size_t got = 0;
    if (!file_.ReadAt(offset + filled, buffer_.data() + filled, buffer_.size() - filled, got)) {
      readFailed_ = true;
      buffer_.resize(filled);
      return false;
    }
    if (got == 0) break;
    filled += got;
  }
  buffer_.resize(filled);
  return true;
}

FlacParse FlacDecoder::TryHeader(uint64_t offset, FlacFrameHeader& header) {
  if (!Fill(offset, kFlacMaxFrameHeaderSize)) return FlacParse::Invalid;
  size_t available = Available(offset);
  if (available < 2 || !IsFlacFrameSync(At(offset))) return FlacParse::Invalid;
  return ParseFlacFrameHeader(At(offset), available, info_, header);
}

bool FlacDecoder::NextCandidate(uint64_t& offset) {
  for (uint64_t at = offset; at + 2 <= fileSize_; ++at) {
    FlacFrameHeader header;
    if (TryHeader(at, header) == FlacParse::Ok) {
      skippedBytes_ += at - offset;
      offset = at;
      return true;
    }
    if (readFailed_) return false;
  }
  skippedBytes_ += fileSize_ > offset ? fileSize_ - offset : 0;
  offset = fileSize_;
  return false;
}

// A frame can be no longer than its samples stored verbatim, plus headers;
// twice that leaves room for any encoder's worst Rice coding.
size_t FlacDecoder::LargestFrame(const FlacFrameHeader& header) const {
  size_t verbatim = (size_t{header.blockSize} * 33 + 7) / 8 + 8;
  size_t frame = header.headerSize + header.channels * verbatim + kFlacFrameCrcSize;
  return 2 * frame + kFlacReadChunk;
}

bool FlacDecoder::DecodeChannels(const uint8_t* frame, size_t size, const FlacFrameHeader& header,
                                 size_t& used, bool& ranOut) {
  FlacBitReader bits(frame + header.headerSize, size - header.headerSize);
  const size_t needed = size_t{header.channels} * header.blockSize;
  if (needed > channelsCapacity_) {
    channels_.reset(new int64_t[needed]);
    channelsCapacity_ = needed;
  }
  for (uint32_t c = 0; c < header.channels; ++c) {
    unsigned bitsPerSample = header.bitsPerSample + (IsSideChannel(header.assignment, c) ? 1 : 0);
    int64_t* samples = channels_.get() + size_t{c} * header.blockSize;
    if (!DecodeFlacSubframe(bits, bitsPerSample, header.blockSize, samples)) {
      ranOut = bits.RanOut();
      return false;
    }
  }
  bits.AlignToByte();
  used = header.headerSize + bits.BytePosition();
  return true;
}

FlacParse FlacDecoder::TryFrame(uint64_t offset, const FlacFrameHeader& header, size_t& frameSize) {
  size_t largest = LargestFrame(header);
  size_t want = std::min(info_.maxFrameSize ? size_t{info_.maxFrameSize} : kFlacReadChunk, largest);
  while (true) {
    if (!Fill(offset, want)) return FlacParse::Invalid;
    size_t available = Available(offset);
    size_t used = 0;
    bool ranOut = false;
    if (DecodeChannels(At(offset), available, header, used, ranOut)) {
      if (available - used >= kFlacFrameCrcSize) {
        const uint8_t* crc = At(offset) + used;
        uint16_t stored = static_cast<uint16_t>((crc[0] << 8) | crc[1]);
        if (FlacCrc16(At(offset), used) != stored) return FlacParse::Invalid;
        frameSize = used + kFlacFrameCrcSize;
        return FlacParse::Ok;
      }
      ranOut = true;
    }
    if (!ranOut || AtEnd(offset, available) || want >= largest) return FlacParse::Invalid;
    want = std::min(std::max(want, available) * 2, largest);
  }
}

void FlacDecoder::Interleave(const FlacFrameHeader& header, std::vector<int32_t>& out) const {
  size_t n = header.blockSize, count = header.channels;
  out.resize(n * count);
  const int64_t* a = channels_.get();
  const int64_t* b = a + n;
  if (header.assignment == FlacChannels::Independent) {
    for (size_t c = 0; c < count; ++c) {
      for (size_t i = 0; i < n; ++i) out[i * count + c] = static_cast<int32_t>(a[c * n + i]);
    }
    return;
  }
  for (size_t i = 0; i < n; ++i) {
    int64_t left = 0, right = 0;
    switch (header.assignment) {
      case FlacChannels::LeftSide: left = a[i], right = a[i] - b[i]; break;
      case FlacChannels::RightSide: left = a[i] + b[i], right = b[i]; break;
      default: {
        // The side channel's lowest bit is the one the mid channel lost.
        int64_t mid = static_cast<int64_t>(static_cast<uint64_t>(a[i]) << 1) | (b[i] & 1);
        left = (mid + b[i]) >> 1;
        right = (mid - b[i]) >> 1;
      }
    }
    out[2 * i] = static_cast<int32_t>(left);
    out[2 * i + 1] = static_cast<int32_t>(right);
  }
}

bool FlacDecoder::DecodeFrame(std::vector<int32_t>& interleaved) {
  while (NextCandidate(position_)) {
    FlacFrameHeader header;
    size_t frameSize = 0;
    if (TryHeader(position_, header) == FlacParse::Ok &&
        TryFrame(position_, header, frameSize) == FlacParse::Ok) {
      frameOffset_ = position_;
      position_ += frameSize;
      header_ = header;
      Interleave(header, interleaved);
      return true;
    }
    if (readFailed_) return false;
    ++position_;
    ++skippedBytes_;
  }
  return false;
}

}  // namespace vbmp3
