#include "vbmp3/playback/acm_decoder.h"

#include <algorithm>
#include <cstring>

namespace vbmp3::playback {
namespace {

// Large enough for any MPEG audio frame (free-format streams aside, which the
// codecs do not take anyway) plus what a codec may leave pending.
constexpr size_t kSourceCapacity = 16 * 1024;
// Wine's codec silently drops output that does not fit, and acmStreamSize is
// not to be trusted for variable bit rates: room for several frames of the
// largest kind (1152 samples, two channels, 16 bits).
constexpr size_t kDestinationCapacity = 8 * 1152 * 2 * 2;

WORD HeadMode(int channelMode) {
  switch (channelMode) {
    case 0: return ACM_MPEG_STEREO;
    case 1: return ACM_MPEG_JOINTSTEREO;
    case 2: return ACM_MPEG_DUALCHANNEL;
    default: return ACM_MPEG_SINGLECHANNEL;
  }
}

WAVEFORMATEX PcmFormatFor(const MpegStreamFormat& format) {
  WAVEFORMATEX pcm{};
  pcm.wFormatTag = WAVE_FORMAT_PCM;
  pcm.nChannels = static_cast<WORD>(format.channels);
  pcm.nSamplesPerSec = static_cast<DWORD>(format.sampleRate);
  pcm.wBitsPerSample = 16;
  pcm.nBlockAlign = static_cast<WORD>(pcm.nChannels * 2);
  pcm.nAvgBytesPerSec = pcm.nSamplesPerSec * pcm.nBlockAlign;
  pcm.cbSize = 0;
  return pcm;
}

// One frame a block: Wine's codec wants the frame length as the block size.
MPEGLAYER3WAVEFORMAT Layer3FormatFor(const MpegStreamFormat& format) {
  MPEGLAYER3WAVEFORMAT in{};
  in.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
  in.wfx.nChannels = static_cast<WORD>(format.channels);
  in.wfx.nSamplesPerSec = static_cast<DWORD>(format.sampleRate);
  in.wfx.nAvgBytesPerSec = static_cast<DWORD>(format.bitRateKbps) * 1000 / 8;
  in.wfx.nBlockAlign = 1;
  in.wfx.wBitsPerSample = 0;
  in.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
  in.wID = MPEGLAYER3_ID_MPEG;
  in.fdwFlags = MPEGLAYER3_FLAG_PADDING_ISO;
  in.nBlockSize = static_cast<WORD>(format.frameLength);
  in.nFramesPerBlock = 1;
  in.nCodecDelay = 0;
  return in;
}

MPEG1WAVEFORMAT Layer12FormatFor(const MpegStreamFormat& format) {
  MPEG1WAVEFORMAT in{};
  in.wfx.wFormatTag = WAVE_FORMAT_MPEG;
  in.wfx.nChannels = static_cast<WORD>(format.channels);
  in.wfx.nSamplesPerSec = static_cast<DWORD>(format.sampleRate);
  in.wfx.nAvgBytesPerSec = static_cast<DWORD>(format.bitRateKbps) * 1000 / 8;
  in.wfx.nBlockAlign = static_cast<WORD>(format.frameLength);
  in.wfx.wBitsPerSample = 0;
  in.wfx.cbSize = sizeof(MPEG1WAVEFORMAT) - sizeof(WAVEFORMATEX);
  in.fwHeadLayer = format.layer == 1 ? ACM_MPEG_LAYER1 : ACM_MPEG_LAYER2;
  in.dwHeadBitrate = static_cast<DWORD>(format.bitRateKbps) * 1000;
  in.fwHeadMode = HeadMode(format.channelMode);
  in.fwHeadModeExt = static_cast<WORD>(1 << format.modeExtension);
  in.wHeadEmphasis = static_cast<WORD>(format.emphasis + 1);
  in.fwHeadFlags = static_cast<WORD>((format.version == 1 ? ACM_MPEG_ID_MPEG1 : 0) |
                                     (format.protectedByCrc ? ACM_MPEG_PROTECTIONBIT : 0) |
                                     (format.copyright ? ACM_MPEG_COPYRIGHT : 0) |
                                     (format.original ? ACM_MPEG_ORIGINALHOME : 0));
  return in;
}

}  // namespace

AcmMpegDecoder::~AcmMpegDecoder() { Close(); }

bool AcmMpegDecoder::Open(const MpegStreamFormat& format) {
  Close();
  output_ = PcmFormatFor(format);
  MMRESULT result;
  if (format.layer == 3) {
    MPEGLAYER3WAVEFORMAT in = Layer3FormatFor(format);
    result = acmStreamOpen(&stream_, nullptr, &in.wfx, &output_, nullptr, 0, 0,
                           ACM_STREAMOPENF_NONREALTIME);
  } else {
    MPEG1WAVEFORMAT in = Layer12FormatFor(format);
    result = acmStreamOpen(&stream_, nullptr, &in.wfx, &output_, nullptr, 0, 0,
                           ACM_STREAMOPENF_NONREALTIME);
  }
  if (result != MMSYSERR_NOERROR) {
    stream_ = nullptr;
    return false;
  }
  return PrepareBuffers();
}

bool AcmMpegDecoder::PrepareBuffers() {
  source_.assign(kSourceCapacity, 0);
  destination_.assign(kDestinationCapacity, 0);
  pending_ = 0;
  header_ = {};
  header_.cbStruct = sizeof(header_);
  header_.pbSrc = source_.data();
  header_.cbSrcLength = static_cast<DWORD>(source_.size());
  header_.pbDst = destination_.data();
  header_.cbDstLength = static_cast<DWORD>(destination_.size());
  if (acmStreamPrepareHeader(stream_, &header_, 0) != MMSYSERR_NOERROR) {
    Close();
    return false;
  }
  prepared_ = true;
  return true;
}

void AcmMpegDecoder::Close() {
  if (stream_) {
    if (prepared_) {
      // Unpreparing wants the lengths the header was prepared with.
      header_.cbSrcLength = static_cast<DWORD>(source_.size());
      header_.cbDstLength = static_cast<DWORD>(destination_.size());
      acmStreamUnprepareHeader(stream_, &header_, 0);
      prepared_ = false;
    }
    acmStreamClose(stream_, 0);
    stream_ = nullptr;
  }
  pending_ = 0;
}

bool AcmMpegDecoder::Convert(DWORD flags, std::vector<uint8_t>& pcm) {
  header_.cbSrcLength = static_cast<DWORD>(pending_);
  header_.cbDstLength = static_cast<DWORD>(destination_.size());
  header_.cbSrcLengthUsed = 0;
  header_.cbDstLengthUsed = 0;
  if (acmStreamConvert(stream_, &header_, flags) != MMSYSERR_NOERROR) {
    pending_ = 0;
    return false;
  }
  const size_t used = std::min<size_t>(header_.cbSrcLengthUsed, pending_);
  const size_t produced = std::min<size_t>(header_.cbDstLengthUsed, destination_.size());
  pcm.insert(pcm.end(), destination_.begin(), destination_.begin() + produced);
  std::memmove(source_.data(), source_.data() + used, pending_ - used);
  pending_ -= used;
  return true;
}

bool AcmMpegDecoder::Decode(const uint8_t* data, size_t size, std::vector<uint8_t>& pcm) {
  if (!stream_) return false;
  while (size > 0) {
    const size_t take = std::min(size, source_.size() - pending_);
    std::memcpy(source_.data() + pending_, data, take);
    pending_ += take;
    data += take;
    size -= take;
    // Convert until the codec stops taking input: it may take only part of
    // what it was given and want the rest together with the next frame.
    while (pending_ > 0) {
      const size_t before = pending_;
      const size_t outBefore = pcm.size();
      if (!Convert(ACM_STREAMCONVERTF_BLOCKALIGN, pcm)) return false;
      if (pending_ == before && pcm.size() == outBefore) break;
    }
    if (pending_ == source_.size()) {
      // A codec that takes nothing from a full buffer will never progress.
      pending_ = 0;
      return false;
    }
  }
  return true;
}

void AcmMpegDecoder::Flush(std::vector<uint8_t>& pcm) {
  if (!stream_) return;
  for (int round = 0; round < 4; ++round) {
    const size_t outBefore = pcm.size();
    if (!Convert(ACM_STREAMCONVERTF_END, pcm)) break;
    if (pcm.size() == outBefore) break;
  }
  pending_ = 0;
}

}  // namespace vbmp3::playback
