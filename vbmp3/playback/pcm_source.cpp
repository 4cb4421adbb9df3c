#include "vbmp3/playback/pcm_source.h"

#include <algorithm>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/playback/acm_decoder.h"
#include "vbmp3/playback/flac_source.h"
#include "vbmp3/src/io/file_io.h"
#include "vbmp3/src/tag_format.h"
#include "vbmp3/src/mpeg/mpeg_frame.h"

namespace vbmp3::playback {
namespace {

constexpr size_t kReadChunk = 64 * 1024;
// Frames decoded per ReadMore: a few tens of milliseconds of audio.
constexpr int kFramesPerRead = 8;

// Reads [begin, end) of a file in chunks and hands out byte runs.
class RegionReader {
 public:
  RegionReader(RandomAccessFile& file, uint64_t begin, uint64_t end)
      : file_(file), next_(begin), end_(end) {}

  // Makes at least `n` bytes available at Data(), unless the region ends
  // first; false on a read error.
  bool Ensure(size_t n) {
    if (Available() >= n || next_ >= end_) return true;
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<ptrdiff_t>(start_));
    start_ = 0;
    while (buffer_.size() < n && next_ < end_) {
      const size_t want = static_cast<size_t>(std::min<uint64_t>(kReadChunk, end_ - next_));
      const size_t old = buffer_.size();
      buffer_.resize(old + want);
      size_t got = 0;
      if (!file_.ReadAt(next_, buffer_.data() + old, want, got)) {
        buffer_.resize(old);
        return false;
      }
      buffer_.resize(old + got);
      next_ += got;
      if (got < want) end_ = next_;  // the file is shorter than it said
    }
    return true;
  }
  size_t Available() const { return buffer_.size() - start_; }
  const uint8_t* Data() const { return buffer_.data() + start_; }
  void Skip(size_t n) { start_ += std::min(n, Available()); }

 private:
  RandomAccessFile& file_;
  uint64_t next_;
  uint64_t end_;
  std::vector<uint8_t> buffer_;
  size_t start_ = 0;
};

class MpegSource : public PcmSource {
 public:
  MpegSource(std::unique_ptr<RandomAccessFile> file, const AudioStream& stream)
      : file_(std::move(file)),
        first_(stream.mpeg.first),
        freeFormatLength_(stream.mpeg.freeFormatLength),
        reader_(*file_, stream.mpeg.firstFrame, std::max(stream.mpeg.end, stream.mpeg.firstFrame)) {
  }

  int32_t Start() {
    MpegStreamFormat format;
    format.version = first_.version;
    format.layer = first_.layer;
    format.sampleRate = first_.samplingRate;
    format.channels = first_.channels;
    format.bitRateKbps = first_.bitRateKbps;
    format.channelMode = first_.channelMode;
    format.modeExtension = static_cast<int>((first_.raw >> 4) & 3);
    format.emphasis = static_cast<int>(first_.raw & 3);
    format.protectedByCrc = first_.crc;
    format.copyright = ((first_.raw >> 3) & 1) != 0;
    format.original = ((first_.raw >> 2) & 1) != 0;
    format.frameLength = FrameLength(first_, freeFormatLength_);
    format.samplesPerFrame = first_.samplesPerFrame;
    // The codecs take neither free format nor a stream without a length.
    if (format.frameLength <= 0 || first_.bitRateKbps == 0) return VBMP3_ERR_NO_DECODER;
    if (!decoder_.Open(format)) return VBMP3_ERR_NO_DECODER;
    return 0;
  }

  const WAVEFORMATEX& Format() const override { return decoder_.OutputFormat(); }
  int32_t Failure() const override { return failure_; }

  bool ReadMore(std::vector<uint8_t>& pcm) override {
    if (ended_) return false;
    const size_t before = pcm.size();
    int frames = 0;
    while (frames < kFramesPerRead) {
      const uint8_t* frame = nullptr;
      int length = 0;
      if (!NextFrame(frame, length)) break;
      // A damaged frame the codec rejects should not end the song: it
      // resumes with the next one.
      decoder_.Decode(frame, static_cast<size_t>(length), pcm);
      reader_.Skip(static_cast<size_t>(length));
      ++frames;
    }
    if (frames < kFramesPerRead) {
      decoder_.Flush(pcm);
      ended_ = true;
    }
    // Keep whole sample frames only; a codec never splits one, but be safe.
    const size_t align = std::max<WORD>(Format().nBlockAlign, 1);
    pcm.resize(before + (pcm.size() - before) / align * align);
    return pcm.size() > before || !ended_;
  }

 private:
  // Finds the next frame of the stream at the reader's position, skipping
  // junk between frames. False at the end of the region or on a read error.
  bool NextFrame(const uint8_t*& frame, int& length) {
    for (;;) {
      if (!reader_.Ensure(4)) {
        failure_ = VBMP3_ERR_READ;
        return false;
      }
      if (reader_.Available() < 4) return false;
      FrameHeader h;
      if (ParseFrameHeader(reader_.Data(), h) && SameStream(first_, h)) {
        length = FrameLength(h, freeFormatLength_);
        if (length >= 4) {
          if (!reader_.Ensure(static_cast<size_t>(length))) {
            failure_ = VBMP3_ERR_READ;
            return false;
          }
          // A cut-off last frame is dropped rather than decoded to noise.
          if (reader_.Available() < static_cast<size_t>(length)) return false;
          frame = reader_.Data();
          return true;
        }
      }
      reader_.Skip(1);
    }
  }

  std::unique_ptr<RandomAccessFile> file_;
  FrameHeader first_;
  int freeFormatLength_;
  RegionReader reader_;
  AcmMpegDecoder decoder_;
  int32_t failure_ = 0;
  bool ended_ = false;
};

class WaveSource : public PcmSource {
 public:
  WaveSource(std::unique_ptr<RandomAccessFile> file, const AudioStream& stream)
      : file_(std::move(file)), reader_(*file_, stream.dataBegin, stream.dataEnd) {
    format_.wFormatTag = stream.wave.formatTag;
    format_.nChannels = stream.wave.channels;
    format_.nSamplesPerSec = stream.wave.sampleRate;
    format_.wBitsPerSample = stream.wave.bitsPerSample;
    // Recomputed rather than trusted: waveOut refuses inconsistent headers.
    format_.nBlockAlign = static_cast<WORD>(format_.nChannels * ((format_.wBitsPerSample + 7) / 8));
    format_.nAvgBytesPerSec = format_.nSamplesPerSec * format_.nBlockAlign;
    format_.cbSize = 0;
  }

  int32_t Start() const {
    const bool pcm = format_.wFormatTag == WAVE_FORMAT_PCM &&
                     (format_.wBitsPerSample == 8 || format_.wBitsPerSample == 16 ||
                      format_.wBitsPerSample == 24 || format_.wBitsPerSample == 32);
    const bool floating = format_.wFormatTag == WAVE_FORMAT_IEEE_FLOAT &&
                          (format_.wBitsPerSample == 32 || format_.wBitsPerSample == 64);
    if ((!pcm && !floating) || format_.nChannels == 0 || format_.nSamplesPerSec == 0)
      return VBMP3_ERR_NO_DECODER;
    return 0;
  }

  const WAVEFORMATEX& Format() const override { return format_; }
  int32_t Failure() const override { return failure_; }

  bool ReadMore(std::vector<uint8_t>& pcm) override {
    const size_t align = format_.nBlockAlign;
    const size_t want = std::max<size_t>(kReadChunk / align, 1) * align;
    if (!reader_.Ensure(want)) {
      failure_ = VBMP3_ERR_READ;
      return false;
    }
    const size_t take = std::min(reader_.Available(), want) / align * align;
    if (take == 0) return false;
    pcm.insert(pcm.end(), reader_.Data(), reader_.Data() + take);
    reader_.Skip(take);
    return true;
  }

 private:
  std::unique_ptr<RandomAccessFile> file_;
  RegionReader reader_;
  WAVEFORMATEX format_{};
  int32_t failure_ = 0;
};

}  // namespace

std::unique_ptr<PcmSource> OpenPcmSource(const std::string& path, Measure measure,
                                         AudioStream* streamOut, int32_t& error) {
  error = 0;
  if (path.empty()) {
    error = VBMP3_ERR_BAD_ARGUMENT;
    return nullptr;
  }
  auto file = vbmp3::OpenFile(path.c_str(), OpenMode::Read, error);
  if (!file) return nullptr;
  if (auto flac = OpenFlacSource(file, streamOut, error)) return flac;
  if (error != 0) return nullptr;
  // Read for their tags, not decoded: a FLAC frame's sync must not pass for
  // an MPEG frame's.
  if (IsTagFormatFile(*file)) {
    error = VBMP3_ERR_CANNOT_DECODE;
    return nullptr;
  }
  AudioStream stream;
  error = AnalyseAudio(*file, stream, measure);
  if (error != 0) return nullptr;
  if (streamOut) *streamOut = stream;
  if (stream.isMpeg) {
    auto source = std::make_unique<MpegSource>(std::move(file), stream);
    error = source->Start();
    if (error != 0) return nullptr;
    return source;
  }
  auto source = std::make_unique<WaveSource>(std::move(file), stream);
  error = source->Start();
  if (error != 0) return nullptr;
  return source;
}

int32_t DecodeFileToMemory(const std::string& path, DecodedAudio& out) {
  out = DecodedAudio{};
  int32_t error = 0;
  auto source = OpenPcmSource(path, Measure::Locate, nullptr, error);
  if (!source) return error;
  out.format = source->Format();
  while (source->ReadMore(out.pcm)) {
  }
  return source->Failure();
}

}  // namespace vbmp3::playback
