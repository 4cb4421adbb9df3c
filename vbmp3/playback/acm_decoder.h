// MPEG audio to 16-bit PCM through the platform's Audio Compression Manager
// codec, one frame at a time.
#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vbmp3::playback {

// What the codec needs to know about a stream; taken from its first frame.
struct MpegStreamFormat {
  int version = 1;  // 1 MPEG-1, 2 MPEG-2, 3 MPEG-2.5
  int layer = 3;    // 1..3
  int sampleRate = 44100;
  int channels = 2;
  int bitRateKbps = 128;
  int channelMode = 0;  // header bits: 0 stereo, 1 joint, 2 dual, 3 single
  int modeExtension = 0;
  int emphasis = 0;
  bool protectedByCrc = false;
  bool copyright = false;
  bool original = false;
  int frameLength = 0;  // bytes of the first frame, padding included
  int samplesPerFrame = 1152;
};

class AcmMpegDecoder {
 public:
  AcmMpegDecoder() = default;
  ~AcmMpegDecoder();
  AcmMpegDecoder(const AcmMpegDecoder&) = delete;
  AcmMpegDecoder& operator=(const AcmMpegDecoder&) = delete;

  // False when the platform has no codec for the stream.
  bool Open(const MpegStreamFormat& format);
  void Close();

  // The PCM format the codec gives: 16-bit, the stream's rate and channels.
  const WAVEFORMATEX& OutputFormat() const { return output_; }

  // Decodes one frame (or any run of bytes) and appends the PCM to `pcm`.
  // Bytes the codec does not take yet are kept for the next call, as
  // codecs other than Wine's may want more than one frame. False when the
  // codec reports a failure.
  bool Decode(const uint8_t* data, size_t size, std::vector<uint8_t>& pcm);

  // Hands over whatever the codec still holds at the end of the stream.
  void Flush(std::vector<uint8_t>& pcm);

 private:
  // The buffers and the header the codec converts through, prepared once.
  bool PrepareBuffers();
  bool Convert(DWORD flags, std::vector<uint8_t>& pcm);

  HACMSTREAM stream_ = nullptr;
  WAVEFORMATEX output_{};
  ACMSTREAMHEADER header_{};
  bool prepared_ = false;
  std::vector<uint8_t> source_;  // codec input, pending bytes at the front
  size_t pending_ = 0;
  std::vector<uint8_t> destination_;  // one conversion's output
};

}  // namespace vbmp3::playback
