// A file's audio as a stream of PCM blocks, whatever its container and coding.
#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vbmp3/src/audio_stream.h"

namespace vbmp3::playback {

class PcmSource {
 public:
  virtual ~PcmSource() = default;
  // The format waveOut is opened with.
  virtual const WAVEFORMATEX& Format() const = 0;
  // Appends at least one block of whole samples to `pcm`, unless the stream
  // has ended; false at the end of the stream or on a read or decode
  // failure (then Failure() tells which).
  virtual bool ReadMore(std::vector<uint8_t>& pcm) = 0;
  // A VBMP3_ERR_ number, 0 while nothing failed.
  virtual int32_t Failure() const = 0;
};

// Opens the file at `path` (ANSI code page) for decoding, measured as
// `measure` says; `stream` (may be null) receives the measurements. On
// failure returns null and sets `error` to a VBMP3_ERR_ number.
std::unique_ptr<PcmSource> OpenPcmSource(const std::string& path, Measure measure,
                                         AudioStream* stream, int32_t& error);

// Decodes the whole file into memory, as playback would hand it to the
// device. Returns 0 or a VBMP3_ERR_ number. For tests and tools.
struct DecodedAudio {
  WAVEFORMATEX format{};
  std::vector<uint8_t> pcm;
  uint64_t SampleFrames() const { return format.nBlockAlign ? pcm.size() / format.nBlockAlign : 0; }
};
int32_t DecodeFileToMemory(const std::string& path, DecodedAudio& out);

}  // namespace vbmp3::playback
