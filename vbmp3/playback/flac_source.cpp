#include "vbmp3/playback/flac_source.h"

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/flac/flac_decoder.h"
#include "vbmp3/src/flac/flac_metadata.h"
#include "vbmp3/src/flac/flac_stream_info.h"

namespace vbmp3::playback {
namespace {

// Frames decoded per ReadMore: tens of milliseconds at common block sizes.
constexpr int kFlacFramesPerRead = 4;

// The first frame, and STREAMINFO, from the metadata blocks.
bool FindFirstFlacFrame(RandomAccessFile& file, FlacStreamInfo& info, uint64_t& firstFrame) {
  FlacMetadata metadata;
  if (!ReadFlacMetadata(file, metadata) || metadata.blocks.empty()) return false;
  const FlacBlock& first = metadata.blocks.front();
  if (first.type != kFlacStreamInfo || first.length < kFlacStreamInfoSize) return false;
  uint8_t body[kFlacStreamInfoSize];
  size_t got = 0;
  if (!file.ReadAt(first.bodyOffset, body, sizeof body, got) || got != sizeof body) return false;
  firstFrame = metadata.firstFrameOffset;
  return ParseFlacStreamInfo(body, sizeof body, info);
}

// 16-bit PCM whatever the stream's sample size: what waveOut takes
// everywhere. Wider samples lose their lowest bits.
class FlacSource : public PcmSource {
 public:
  FlacSource(std::unique_ptr<RandomAccessFile> file, uint64_t firstFrame,
             const FlacStreamInfo& info)
      : file_(std::move(file)), info_(info), decoder_(*file_, firstFrame, info) {
    format_.wFormatTag = WAVE_FORMAT_PCM;
    format_.nChannels = static_cast<WORD>(info.channels);
    format_.nSamplesPerSec = info.sampleRate;
    format_.wBitsPerSample = 16;
    format_.nBlockAlign = static_cast<WORD>(2 * info.channels);
    format_.nAvgBytesPerSec = format_.nSamplesPerSec * format_.nBlockAlign;
  }

  const WAVEFORMATEX& Format() const override { return format_; }
  int32_t Failure() const override { return failure_; }

  bool ReadMore(std::vector<uint8_t>& pcm) override {
    int frames = 0;
    while (frames < kFlacFramesPerRead && decoder_.DecodeFrame(samples_)) {
      Append(pcm);
      ++frames;
    }
    if (decoder_.ReadFailed()) failure_ = VBMP3_ERR_READ;
    return frames > 0;
  }

 private:
  void Append(std::vector<uint8_t>& pcm) const {
    const int shift = static_cast<int>(info_.bitsPerSample) - 16;
    const size_t at = pcm.size();
    pcm.resize(at + samples_.size() * 2);
    uint8_t* out = pcm.data() + at;
    for (int32_t s : samples_) {
      int32_t v =
          shift >= 0 ? (s >> shift) : static_cast<int32_t>(static_cast<uint32_t>(s) << -shift);
      *out++ = static_cast<uint8_t>(v);
      *out++ = static_cast<uint8_t>(v >> 8);
    }
  }

  std::unique_ptr<RandomAccessFile> file_;
  FlacStreamInfo info_;
  FlacDecoder decoder_;
  WAVEFORMATEX format_{};
  std::vector<int32_t> samples_;
  int32_t failure_ = 0;
};

}  // namespace

std::unique_ptr<PcmSource> OpenFlacSource(std::unique_ptr<RandomAccessFile>& file,
                                          AudioStream* stream, int32_t& error) {
  error = 0;
  FlacStreamInfo info;
  uint64_t firstFrame = 0;
  if (!FindFirstFlacFrame(*file, info, firstFrame)) return nullptr;
  if (info.sampleRate == 0 || info.bitsPerSample < 4) {
    error = VBMP3_ERR_NO_DECODER;
    return nullptr;
  }
  if (stream) {
    *stream = AudioStream{};
    stream->isMpeg = false;
    stream->fileSize = file->Size();
    stream->dataBegin = firstFrame;
    stream->dataEnd = stream->fileSize;
    stream->channels = static_cast<int>(info.channels);
    stream->samplingRate = static_cast<int>(info.sampleRate);
    stream->frames = info.totalSamples;
    stream->totalSeconds = info.totalSamples / info.sampleRate;
  }
  return std::make_unique<FlacSource>(std::move(file), firstFrame, info);
}

}  // namespace vbmp3::playback
