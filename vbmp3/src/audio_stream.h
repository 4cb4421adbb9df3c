// Where a file's audio is and what it measures: the container is recognised
// from the content (MPEG audio, RIFF "RMP3", RIFF "WAVE"), then the MPEG
// stream is measured or the PCM format read.
#pragma once
#include <cstdint>

#include "vbmp3/src/io/byte_window.h"
#include "vbmp3/src/io/file_io.h"
#include "vbmp3/src/mpeg/mpeg_frame.h"
#include "vbmp3/src/riff/wav_format.h"

namespace vbmp3 {

enum class Container { Mpeg, RiffMp3, Wave };

struct MpegStream {
  FrameHeader first;        // header of the first audio frame
  uint64_t firstFrame = 0;  // offset of the first audio frame (a Xing/Info/VBRI frame is skipped)
  uint64_t end = 0;  // end of the last whole audio frame when walked, else of the audio region
  int freeFormatLength = 0;  // free format: frame length without padding; else 0
  uint64_t frames = 0;       // audio frames
  uint64_t audioBytes = 0;   // bytes of those frames
  bool variableBitRate = false;
  bool fromVbrHeader = false;  // counts came from a trusted Xing/Info/VBRI header
  int bitRateKbps = 0;         // constant rate, or the average rounded to the nearest kbps
};

struct AudioStream {
  Container container = Container::Mpeg;
  bool isMpeg = true;  // false: the WAV's data is not MPEG (PCM or another coding)
  uint64_t fileSize = 0;
  uint64_t dataBegin = 0;  // audio region: after an ID3v2 tag, or the RIFF data chunk
  uint64_t dataEnd = 0;    // before APE/Lyrics3/ID3v1 tags, or the data chunk's end in the file
  WaveFormat wave;         // Wave only
  MpegStream mpeg;         // isMpeg only
  // The numbers of StreamInfoRecord.
  int version = 0;  // 1, 2, 3 (MPEG-2.5); 0 for non-MPEG WAV
  int layer = 0;    // 1..3; 0 for non-MPEG WAV
  int channels = 0;
  int bitRateKbps = 0;
  int samplingRate = 0;
  uint64_t frames = 0;        // audio frames, or sample frames of a PCM WAV
  uint64_t totalSeconds = 0;  // rounded down
};

enum class Measure {
  Exact,   // frame counts exact: walk every frame unless a trusted header gives them
  Locate,  // only find the stream and its first frame (players)
};

// Recognises and measures the audio of `file`. Returns 0 or a VBMP3_ERR_
// number (VBMP3_ERR_NOT_AUDIO, VBMP3_ERR_READ).
int32_t AnalyseAudio(RandomAccessFile& file, AudioStream& out, Measure measure = Measure::Exact);
// The same over a window that other readers of the file share.
int32_t AnalyseAudio(ByteWindow& bytes, AudioStream& out, Measure measure = Measure::Exact);

// Measures the MPEG stream in [begin, end) of `file` (the region holds
// nothing but audio frames and maybe junk before the first one). Returns 0 or
// a VBMP3_ERR_ number.
int32_t AnalyseMpeg(RandomAccessFile& file, uint64_t begin, uint64_t end, Measure measure,
                    MpegStream& out);

}  // namespace vbmp3
