#include "vbmp3/src/audio_stream.h"

#include <algorithm>
#include <cstring>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/io/byte_window.h"
#include "vbmp3/src/id3v2/id3v2.h"
#include "vbmp3/src/riff/riff.h"
#include "vbmp3/src/trailing_tags.h"
#include "vbmp3/src/mpeg/vbr_header.h"

namespace vbmp3 {
namespace {

// How far junk before the first frame, or a damaged stretch inside the
// stream, is searched for a frame. Real junk is a few kilobytes; a larger
// limit would only let a huge non-audio file (or a 4 GB sparse one) cost time.
constexpr uint64_t kMaxJunk = 1024 * 1024;
constexpr uint64_t kMaxResync = 256 * 1024;
constexpr int kMaxId3v2Tags = 8;

struct Candidate {
  FrameHeader header;
  int freeFormatLength = 0;
  int length = 0;
};

bool HeaderAt(ByteWindow& w, uint64_t pos, uint64_t end, FrameHeader& h) {
  if (pos > end || end - pos < 4) return false;
  const uint8_t* p = w.Get(pos, 4);
  return p && ParseFrameHeader(p, h);
}

// The bytes of the header that stay the same from frame to frame of one
// free-format stream (all but CRC-less padding and private bits).
bool SameFreeFormatStream(const FrameHeader& a, const FrameHeader& b) {
  constexpr uint32_t kMask = 0xFFFFFCC0u & ~0x00000200u;  // sync..rate, channel mode; not padding
  return (a.raw & kMask) == (b.raw & kMask);
}

// Finds the frame length of the free-format frame `h` at `pos` from the
// distance to the next frame of the stream, checked by the frame after.
int FindFreeFormatLength(ByteWindow& w, uint64_t pos, uint64_t end, const FrameHeader& h) {
  const uint64_t minLength = 4 + (h.crc ? 2 : 0) + static_cast<uint64_t>(h.sideInfoLength) + 1;
  const uint64_t limit = std::min<uint64_t>(end, pos + kMaxFrameLength + 4);
  for (uint64_t q = pos + minLength; q + 4 <= limit; ++q) {
    const uint8_t* p = w.Get(q, 4);
    if (!p) return 0;
    FrameHeader n;
    if (p[0] != 0xFF || !ParseFrameHeader(p, n) || !SameFreeFormatStream(h, n)) continue;
    const int base = FreeFormatBaseLength(h, static_cast<int>(q - pos));
    if (base <= 0) continue;
    const uint64_t third = q + static_cast<uint64_t>(FrameLength(n, base));
    FrameHeader t;
    if (third == end || (HeaderAt(w, third, end, t) && SameFreeFormatStream(h, t))) return base;
  }
  return 0;
}

// Whether a frame of stream `ref` can start at `pos`; fills the candidate.
bool FrameAt(ByteWindow& w, uint64_t pos, uint64_t end, const FrameHeader* ref, int freeLength,
             Candidate& c) {
  if (!HeaderAt(w, pos, end, c.header)) return false;
  if (ref && !SameStream(*ref, c.header)) return false;
  if (c.header.bitRateKbps == 0) {
    c.freeFormatLength = freeLength ? freeLength : FindFreeFormatLength(w, pos, end, c.header);
    if (!c.freeFormatLength) return false;
  } else {
    c.freeFormatLength = 0;
  }
  c.length = FrameLength(c.header, c.freeFormatLength);
  return c.length > 4 && static_cast<uint64_t>(c.length) <= end - pos;
}

// Searches [from, limit) for a frame that the frames after it confirm: one
// more frame of the same stream, two when junk was skipped to find it. A
// frame that ends exactly at `end` needs no confirmation at the very start.
bool FindFrame(ByteWindow& w, uint64_t from, uint64_t limit, uint64_t end, const FrameHeader* ref,
               int freeLength, uint64_t& found, Candidate& c) {
  limit = std::min(limit, end);
  uint64_t pos = from;
  while (pos + 4 <= end && pos < limit) {
    size_t got = 0;
    const uint8_t* p =
        w.GetSome(pos, static_cast<size_t>(std::min<uint64_t>(limit - pos, 64 * 1024)), got);
    if (!p || got == 0) return false;
    const void* ff = std::memchr(p, 0xFF, got);
    if (!ff) {
      pos += got;
      continue;
    }
    pos += static_cast<const uint8_t*>(ff) - p;
    if (FrameAt(w, pos, end, ref, freeLength, c)) {
      const bool skipped = pos != from;
      const uint64_t next = pos + static_cast<uint64_t>(c.length);
      Candidate n;
      if (next == end) {
        if (!skipped) {
          found = pos;
          return true;
        }
      } else if (FrameAt(w, next, end, &c.header, c.freeFormatLength, n)) {
        const uint64_t third = next + static_cast<uint64_t>(n.length);
        Candidate t;
        if (!skipped || third == end || FrameAt(w, third, end, &c.header, c.freeFormatLength, t)) {
          found = pos;
          return true;
        }
      }
    }
    ++pos;
  }
  return false;
}

uint64_t AverageKbps(uint64_t bytes, uint64_t frames, const FrameHeader& h) {
  const uint64_t duration = frames * static_cast<uint64_t>(h.samplesPerFrame);  // in samples
  if (duration == 0) return static_cast<uint64_t>(h.bitRateKbps);
  const uint64_t numerator = bytes * 8 * static_cast<uint64_t>(h.samplingRate);
  const uint64_t denominator = duration * 1000;
  return (numerator + denominator / 2) / denominator;
}

// A Xing, Info or VBRI header fills the first frame: the stream starts
// after it. Its counts are believed only when the stream in the file is as
// long as the encoder wrote it (counted with or without the header's own
// frame): a file cut short, or grown, is walked. True when s is measured.
bool MeasureFromVbrHeader(ByteWindow& w, Candidate& c, uint64_t& pos, MpegStream& s) {
  VbrHeader vbr;
  const uint8_t* frame = w.Get(pos, static_cast<size_t>(c.length));
  if (!frame || !ParseVbrHeader(frame, static_cast<size_t>(c.length), c.header, vbr)) return false;
  const uint64_t vbrFrame = pos;
  pos += static_cast<uint64_t>(c.length);
  s.firstFrame = pos;
  Candidate a;
  if (FrameAt(w, pos, s.end, &c.header, c.freeFormatLength, a)) s.first = a.header;
  if (!vbr.hasFrames || !vbr.hasBytes ||
      (vbr.bytes != s.end - vbrFrame && vbr.bytes != s.end - pos))
    return false;
  s.frames = vbr.frames;
  s.audioBytes = s.end - pos;
  s.fromVbrHeader = true;
  s.variableBitRate = vbr.kind != VbrHeader::Info;
  s.bitRateKbps = s.variableBitRate || s.first.bitRateKbps == 0
                      ? static_cast<int>(AverageKbps(s.audioBytes, s.frames, s.first))
                      : s.first.bitRateKbps;
  return true;
}

// Counts the frames from pos to s.end, resynchronising over junk, and
// stops at a last frame cut short.
int32_t WalkFrames(ByteWindow& w, uint64_t pos, MpegStream& s) {
  const FrameHeader& ref = s.first;
  const uint64_t end = s.end;
  bool constant = ref.bitRateKbps != 0;
  uint64_t frames = 0, bytes = 0;
  while (pos < end) {
    Candidate f;
    if (!FrameAt(w, pos, end, &ref, s.freeFormatLength, f)) {
      if (w.Failed()) return VBMP3_ERR_READ;
      FrameHeader h;
      if (HeaderAt(w, pos, end, h) && SameStream(ref, h)) break;
      uint64_t next = 0;
      if (!FindFrame(w, pos + 1, pos + 1 + kMaxResync, end, &ref, s.freeFormatLength, next, f))
        break;
      pos = next;
    }
    ++frames;
    bytes += static_cast<uint64_t>(f.length);
    if (f.header.bitRateKbps != ref.bitRateKbps) constant = false;
    pos += static_cast<uint64_t>(f.length);
  }
  if (w.Failed()) return VBMP3_ERR_READ;
  s.frames = frames;
  s.audioBytes = bytes;
  s.end = pos;
  s.variableBitRate = !constant && ref.bitRateKbps != 0;
  s.bitRateKbps = constant ? ref.bitRateKbps : static_cast<int>(AverageKbps(bytes, frames, ref));
  return VBMP3_ERR_NONE;
}

int32_t MeasureMpeg(ByteWindow& w, uint64_t begin, uint64_t end, Measure measure, MpegStream& out) {
  MpegStream s;
  uint64_t pos = 0;
  Candidate c;
  if (!FindFrame(w, begin, begin + kMaxJunk, end, nullptr, 0, pos, c)) {
    return w.Failed() ? VBMP3_ERR_READ : VBMP3_ERR_NOT_AUDIO;
  }
  s.first = c.header;
  s.freeFormatLength = c.freeFormatLength;
  s.firstFrame = pos;
  s.end = end;
  if (MeasureFromVbrHeader(w, c, pos, s)) {
    out = s;
    return VBMP3_ERR_NONE;
  }
  if (measure == Measure::Locate) {
    s.bitRateKbps = s.first.bitRateKbps;
    out = s;
    return VBMP3_ERR_NONE;
  }
  int32_t result = WalkFrames(w, pos, s);
  if (result == VBMP3_ERR_NONE) out = s;
  return result;
}

// Measures the stream in front of the tags at the end of [begin, end). A
// "TAG+" or Lyrics3 v1 block is believed only when audio is left in front of
// it: those count as tags only before an ID3v1 tag, so a file that reads as
// audio must not stop doing so when an ID3v1 tag is appended to it.
int32_t MeasureBeforeTags(ByteWindow& w, uint64_t begin, uint64_t end, Measure measure,
                          MpegStream& out, uint64_t& audioEnd) {
  const TrailingTags tags = FindTrailingTags(w, begin, end);
  audioEnd = tags.audioEnd;
  int32_t error = MeasureMpeg(w, begin, audioEnd, measure, out);
  if (error == VBMP3_ERR_NOT_AUDIO && tags.audioEndWithoutExtension != tags.audioEnd) {
    audioEnd = tags.audioEndWithoutExtension;
    error = MeasureMpeg(w, begin, audioEnd, measure, out);
  }
  return error;
}

void FillMpegNumbers(AudioStream& a) {
  const MpegStream& m = a.mpeg;
  a.version = m.first.version;
  a.layer = m.first.layer;
  a.channels = m.first.channels;
  a.bitRateKbps = m.bitRateKbps;
  a.samplingRate = m.first.samplingRate;
  a.frames = m.frames;
  a.totalSeconds = m.frames * static_cast<uint64_t>(m.first.samplesPerFrame) /
                   static_cast<uint64_t>(m.first.samplingRate);
}

int32_t AnalyseRiff(ByteWindow& w, const char form[4], Measure measure, AudioStream& a) {
  RiffReader riff(w);
  char type[4];
  riff.Open(type);
  a.container = std::memcmp(form, "WAVE", 4) == 0 ? Container::Wave : Container::RiffMp3;
  bool haveFormat = false, haveData = false;
  RiffChunk chunk;
  while (riff.Next(chunk) && !(haveData && (haveFormat || a.container == Container::RiffMp3))) {
    if (a.container == Container::Wave && !haveFormat && std::memcmp(chunk.id, "fmt ", 4) == 0) {
      const size_t n = static_cast<size_t>(std::min<uint64_t>(chunk.available, 64));
      const uint8_t* p = w.Get(chunk.Payload(), n);
      haveFormat = p && ParseWaveFormat(p, n, a.wave);
      if (!haveFormat) return w.Failed() ? VBMP3_ERR_READ : VBMP3_ERR_NOT_AUDIO;
    } else if (!haveData && std::memcmp(chunk.id, "data", 4) == 0) {
      haveData = true;
      a.dataBegin = chunk.Payload();
      a.dataEnd = chunk.Payload() + chunk.available;
    }
  }
  if (w.Failed()) return VBMP3_ERR_READ;
  if (!haveData || (a.container == Container::Wave && !haveFormat)) return VBMP3_ERR_NOT_AUDIO;

  a.isMpeg = a.container == Container::RiffMp3 || IsMpegFormat(a.wave.formatTag);
  if (a.isMpeg) {
    // Some writers put the ID3v1 tag at the end of the data itself.
    uint64_t end = 0;
    const int32_t error = MeasureBeforeTags(w, a.dataBegin, a.dataEnd, measure, a.mpeg, end);
    if (error) return error;
    FillMpegNumbers(a);
    return VBMP3_ERR_NONE;
  }
  const WaveFormat& f = a.wave;
  const uint64_t bytes = a.dataEnd - a.dataBegin;
  a.version = 0;
  a.layer = 0;
  a.channels = f.channels;
  a.samplingRate = static_cast<int>(std::min<uint32_t>(f.sampleRate, INT32_MAX));
  a.bitRateKbps = static_cast<int>(uint64_t{f.byteRate} * 8 / 1000);
  a.frames = bytes / f.blockAlign;
  const bool linear = f.formatTag == kWaveFormatPcm || f.formatTag == kWaveFormatFloat ||
                      f.formatTag == 6 || f.formatTag == 7;  // A-law, mu-law
  // Compressed codings have blocks of many samples: their time comes from
  // the byte rate.
  a.totalSeconds = linear ? a.frames / f.sampleRate : bytes / f.byteRate;
  return VBMP3_ERR_NONE;
}

}  // namespace

int32_t AnalyseMpeg(RandomAccessFile& file, uint64_t begin, uint64_t end, Measure measure,
                    MpegStream& out) {
  ByteWindow w(file);
  end = std::min(end, w.FileSize());
  if (begin >= end) return VBMP3_ERR_NOT_AUDIO;
  return MeasureMpeg(w, begin, end, measure, out);
}

int32_t AnalyseAudio(RandomAccessFile& file, AudioStream& out, Measure measure) {
  ByteWindow w(file);
  return AnalyseAudio(w, out, measure);
}

int32_t AnalyseAudio(ByteWindow& w, AudioStream& out, Measure measure) {
  AudioStream a;
  a.fileSize = w.FileSize();
  if (a.fileSize == 0) return VBMP3_ERR_NOT_AUDIO;

  if (const uint8_t* h = w.Get(0, kRiffHeaderLength); h && std::memcmp(h, "RIFF", 4) == 0) {
    if (std::memcmp(h + 8, "WAVE", 4) != 0 && std::memcmp(h + 8, "RMP3", 4) != 0) {
      return VBMP3_ERR_NOT_AUDIO;
    }
    char form[4];
    std::memcpy(form, h + 8, 4);
    const int32_t error = AnalyseRiff(w, form, measure, a);
    if (error) return error;
    out = a;
    return VBMP3_ERR_NONE;
  }

  a.container = Container::Mpeg;
  uint64_t begin = 0;
  const uint64_t limit = EndBeforeId3v1(w, a.fileSize);
  for (int i = 0; i < kMaxId3v2Tags; ++i) {
    const uint8_t* p = w.Get(begin, kId3v2HeaderLength);
    const uint64_t length = p ? Id3v2TagLength(p) : 0;
    if (!length) break;
    // A size past the end (or into the ID3v1 tag) is a broken tag: look for
    // audio right after its header.
    const bool fits = begin <= limit && length <= limit - begin;
    begin += fits ? length : kId3v2HeaderLength;
  }
  if (w.Failed()) return VBMP3_ERR_READ;
  // A broken header may leave the start past where the ID3v1 tag begins:
  // those bytes are the tag, which the tag reader reads and a write
  // replaces, never audio.
  if (begin > limit) return VBMP3_ERR_NOT_AUDIO;
  a.dataBegin = begin;
  const int32_t error = MeasureBeforeTags(w, begin, a.fileSize, measure, a.mpeg, a.dataEnd);
  if (error) return error;
  FillMpegNumbers(a);
  out = a;
  return VBMP3_ERR_NONE;
}

}  // namespace vbmp3
