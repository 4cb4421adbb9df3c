// The parsers on files built byte by byte: frame headers, stream walking and
// its limits, containers, and trailing tags.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "tests/vbmp3/synth.h"
#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/audio_stream.h"
#include "vbmp3/src/io/byte_order.h"
#include "vbmp3/src/file_info.h"
#include "vbmp3/src/mpeg/mpeg_frame.h"

namespace {

using synth::Bytes;
using vbmp3::AudioStream;

AudioStream Analyse(const Bytes& bytes, int32_t expectError = 0) {
  vbmp3::MemoryFile file(bytes);
  AudioStream a;
  EXPECT_EQ(vbmp3::AnalyseAudio(file, a), expectError);
  return a;
}

vbmp3::FrameHeader Header(uint32_t h) {
  const uint8_t raw[4] = {static_cast<uint8_t>(h >> 24), static_cast<uint8_t>(h >> 16),
                          static_cast<uint8_t>(h >> 8), static_cast<uint8_t>(h)};
  vbmp3::FrameHeader f;
  EXPECT_TRUE(vbmp3::ParseFrameHeader(raw, f)) << std::hex << h;
  return f;
}

TEST(FrameHeader, LengthsAndSamplesFollowVersionAndLayer) {
  struct Case {
    uint32_t header;
    int version, layer, kbps, rate, length, samples, channels;
  } cases[] = {
      {0xFFFB9040, 1, 3, 128, 44100, 417, 1152, 2},  // MPEG-1 Layer III
      {0xFFFB9240, 1, 3, 128, 44100, 418, 1152, 2},  // ... padded
      {0xFFFA9040, 1, 3, 128, 44100, 417, 1152, 2},  // CRC-protected: same length
      {0xFFF38040, 2, 3, 64, 22050, 208, 576, 2},    // MPEG-2 Layer III
      {0xFFE318C0, 3, 3, 8, 8000, 72, 576, 1},       // MPEG-2.5 Layer III, mono
      {0xFFFDA000, 1, 2, 192, 44100, 626, 1152, 2},  // MPEG-1 Layer II
      {0xFFF5A080, 2, 2, 96, 22050, 626, 1152, 2},   // MPEG-2 Layer II, dual channel
      {0xFFFFC000, 1, 1, 384, 44100, 416, 384, 2},   // MPEG-1 Layer I
      {0xFFFFC200, 1, 1, 384, 44100, 420, 384, 2},   // ... padded: one 4-byte slot
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.header);
    const vbmp3::FrameHeader f = Header(c.header);
    EXPECT_EQ(f.version, c.version);
    EXPECT_EQ(f.layer, c.layer);
    EXPECT_EQ(f.bitRateKbps, c.kbps);
    EXPECT_EQ(f.samplingRate, c.rate);
    EXPECT_EQ(f.frameLength, c.length);
    EXPECT_EQ(f.samplesPerFrame, c.samples);
    EXPECT_EQ(f.channels, c.channels);
  }
}

TEST(FrameHeader, ReservedFieldsAreNotFrames) {
  for (uint32_t h :
       {0xFFEB9040u /* version 01 */, 0xFFF99040u /* layer 00 */, 0xFFFBF040u /* bit rate 15 */,
        0xFFFB9C40u /* rate 11 */, 0xFFFB9042u /* emphasis 10 */, 0xFF7B9040u /* no sync */}) {
    const uint8_t raw[4] = {static_cast<uint8_t>(h >> 24), static_cast<uint8_t>(h >> 16),
                            static_cast<uint8_t>(h >> 8), static_cast<uint8_t>(h)};
    vbmp3::FrameHeader f;
    EXPECT_FALSE(vbmp3::ParseFrameHeader(raw, f)) << std::hex << h;
  }
}

TEST(MpegStream, WalksEveryFrameWithPaddingAndCountsSecondsDown) {
  const AudioStream a = Analyse(synth::Frames(synth::kMpeg1L3, 400, 3));
  EXPECT_EQ(a.frames, 400u);
  EXPECT_EQ(a.bitRateKbps, 128);
  EXPECT_FALSE(a.mpeg.variableBitRate);
  EXPECT_EQ(a.totalSeconds, 400u * 1152 / 44100);  // 10.44 s
}

TEST(MpegStream, LayerOneCounts384SamplesAFrame) {
  const AudioStream a = Analyse(synth::Frames(synth::kMpeg1L1, 1000, 2));
  EXPECT_EQ(a.layer, 1);
  EXPECT_EQ(a.frames, 1000u);
  EXPECT_EQ(a.totalSeconds, 1000u * 384 / 44100);
}

TEST(MpegStream, VariableRateAverageIsRoundedOverAudioBytes) {
  // 100 frames of 128 kbps and 100 of 320 kbps.
  const Bytes b = synth::Join({synth::Frames(0xFFFB9040, 100), synth::Frames(0xFFFBE040, 100)});
  const AudioStream a = Analyse(b);
  EXPECT_EQ(a.frames, 200u);
  EXPECT_TRUE(a.mpeg.variableBitRate);
  // 100*417 + 100*1044 bytes over 200*1152/44100 s.
  EXPECT_EQ(a.bitRateKbps, 224);
}

TEST(MpegStream, JunkBeforeTheFirstFrameIsSkipped) {
  Bytes junk(3000, 0x11);
  for (size_t i = 0; i < junk.size(); i += 97) junk[i] = 0xFF;  // false syncs
  junk[1000] = 0xFF;
  junk[1001] = 0xFB;  // a header without a following frame
  junk[1002] = 0x90;
  const AudioStream a = Analyse(synth::Join({junk, synth::Frames(synth::kMpeg1L3, 50)}));
  EXPECT_EQ(a.mpeg.firstFrame, 3000u);
  EXPECT_EQ(a.frames, 50u);
}

TEST(MpegStream, TruncatedLastFrameIsNotCounted) {
  Bytes b = synth::Frames(synth::kMpeg1L3, 50);
  b.resize(b.size() - 100);
  EXPECT_EQ(Analyse(b).frames, 49u);
}

TEST(MpegStream, DamagedStretchIsResynchronised) {
  Bytes b = synth::Frames(synth::kMpeg1L3, 60);
  std::fill(b.begin() + 417 * 20, b.begin() + 417 * 22, 0x00);  // two frames wiped
  EXPECT_EQ(Analyse(b).frames, 58u);
}

TEST(MpegStream, FreeFormatIsMeasured) {
  // Bit rate index 0; 1000 bytes a frame at 44.1 kHz is 306.25 kbps.
  const AudioStream a = Analyse(synth::FreeFormatFrames(0xFFFB0040, 1000, 80));
  EXPECT_EQ(a.frames, 80u);
  EXPECT_EQ(a.bitRateKbps, 306);
}

Bytes XingFrame(const char* tag, uint32_t frames, uint32_t bytes, bool crc = false) {
  Bytes f = synth::Frames(crc ? 0xFFFA9040 : 0xFFFB9040, 1);
  const size_t at = 4 + 32 + (crc ? 2 : 0);
  std::memcpy(f.data() + at, tag, 4);
  f[at + 7] = 3;  // frames and bytes
  for (int i = 0; i < 4; ++i) {
    f[at + 8 + i] = static_cast<uint8_t>(frames >> (24 - 8 * i));
    f[at + 12 + i] = static_cast<uint8_t>(bytes >> (24 - 8 * i));
  }
  return f;
}

TEST(VbrHeader, TrustedWhenItsByteCountMatchesTheFile) {
  const Bytes audio = synth::Frames(synth::kMpeg1L3, 30);
  // The header claims 1000 frames: believed only because the bytes agree.
  const Bytes b =
      synth::Join({XingFrame("Xing", 1000, 417 + static_cast<uint32_t>(audio.size())), audio});
  const AudioStream a = Analyse(b);
  EXPECT_TRUE(a.mpeg.fromVbrHeader);
  EXPECT_EQ(a.frames, 1000u);
  EXPECT_EQ(a.mpeg.firstFrame, 417u);
}

TEST(VbrHeader, FileCutAfterEncodingIsWalked) {
  const Bytes audio = synth::Frames(synth::kMpeg1L3, 30);
  const Bytes b = synth::Join({XingFrame("Xing", 40, 417 * 41), audio});
  const AudioStream a = Analyse(b);
  EXPECT_FALSE(a.mpeg.fromVbrHeader);
  EXPECT_EQ(a.frames, 30u);  // the header's frame is not audio
}

TEST(VbrHeader, InfoFrameTwoBytesEarlyInProtectedStream) {
  const Bytes audio = synth::Frames(0xFFFA9040, 30);
  Bytes info = XingFrame("Info", 30, 417 * 31, true);
  // As LAME writes it: at the offset of an unprotected frame.
  std::memmove(info.data() + 36, info.data() + 38, 16);
  const AudioStream a = Analyse(synth::Join({info, audio}));
  EXPECT_TRUE(a.mpeg.fromVbrHeader);
  EXPECT_EQ(a.frames, 30u);
  EXPECT_EQ(a.bitRateKbps, 128);
}

TEST(VbrHeader, VbriIsReadAndItsFrameSkipped) {
  const Bytes audio = synth::Frames(synth::kMpeg1L3, 25);
  Bytes vbri = synth::Frames(synth::kMpeg1L3, 1);
  std::memcpy(vbri.data() + 36, "VBRI", 4);
  const uint32_t bytes = 417 * 26, frames = 25;
  for (int i = 0; i < 4; ++i) {
    vbri[36 + 10 + i] = static_cast<uint8_t>(bytes >> (24 - 8 * i));
    vbri[36 + 14 + i] = static_cast<uint8_t>(frames >> (24 - 8 * i));
  }
  const AudioStream a = Analyse(synth::Join({vbri, audio}));
  EXPECT_TRUE(a.mpeg.fromVbrHeader);
  EXPECT_EQ(a.frames, 25u);
  EXPECT_EQ(a.mpeg.firstFrame, 417u);
}

TEST(Containers, TagsAroundTheStreamAreNotAudio) {
  const Bytes audio = synth::Frames(synth::kMpeg1L3, 40, 2);
  const Bytes lyrics = [] {
    std::string s = "LYRICSBEGININD0000200";
    s += std::string(6 - std::to_string(s.size()).size(), '0') + std::to_string(s.size()) +
         "LYRICS200";
    return Bytes(s.begin(), s.end());
  }();
  for (const Bytes& b :
       {synth::Join({synth::Id3v2(5000), audio}), synth::Join({synth::Id3v2(300, true), audio}),
        synth::Join({synth::Id3v2(100), synth::Id3v2(100), Bytes(700, 0), audio}),
        synth::Join({audio, synth::Ape(), synth::Id3v1("t", "a", "", 0, 1)}),
        synth::Join({audio, lyrics, synth::Id3v1("t", "a", "", 0, 1)}),
        synth::Join({audio, synth::Id3v2(64, true)})}) {
    const AudioStream a = Analyse(b);
    EXPECT_EQ(a.frames, 40u);
    EXPECT_EQ(a.mpeg.end, a.mpeg.firstFrame + audio.size());
  }
}

TEST(Containers, RiffMp3AndMpegInsideWave) {
  const Bytes audio = synth::Frames(synth::kMpeg1L3, 33, 2);
  AudioStream rmp = Analyse(synth::Riff("RMP3", {{"data", audio}, {"LIST", Bytes(20, 0)}}));
  EXPECT_EQ(rmp.container, vbmp3::Container::RiffMp3);
  EXPECT_EQ(rmp.frames, 33u);
  const Bytes fmt = synth::WaveFormat(0x55, 2, 44100, 16000, 1, 0);
  AudioStream wav =
      Analyse(synth::Riff("WAVE", {{"fmt ", fmt}, {"fact", Bytes(4, 0)}, {"data", audio}}));
  EXPECT_EQ(wav.container, vbmp3::Container::Wave);
  EXPECT_TRUE(wav.isMpeg);
  EXPECT_EQ(wav.layer, 3);
  EXPECT_EQ(wav.frames, 33u);
}

TEST(Containers, PcmWaveNumbers) {
  const Bytes fmt = synth::WaveFormat(1, 2, 44100, 176400, 4, 16);
  // 2.5 s plus half a sample frame that is not one.
  const AudioStream a = Analyse(synth::Riff("WAVE", {{"fmt ", fmt}, {"data", Bytes(441002, 0)}}));
  EXPECT_EQ(a.version, 0);
  EXPECT_EQ(a.layer, 0);
  EXPECT_EQ(a.frames, 110250u);
  EXPECT_EQ(a.bitRateKbps, 1411);
  EXPECT_EQ(a.totalSeconds, 2u);
}

TEST(Containers, ContentDecidesNotTheName) {
  // A WAV header in front of MPEG data is still read as WAV, and MPEG data
  // without one as MPEG: there are no names here at all.
  Analyse(synth::Riff("AVI ", {{"data", Bytes(100, 0)}}), VBMP3_ERR_NOT_AUDIO);
  Analyse(synth::Riff("WAVE", {{"data", Bytes(100, 0)}}), VBMP3_ERR_NOT_AUDIO);  // no fmt
}

TEST(Hostile, EmptyAndNonAudioFilesFailCleanly) {
  Analyse(Bytes{}, VBMP3_ERR_NOT_AUDIO);
  Analyse(Bytes(100000, 0xFF), VBMP3_ERR_NOT_AUDIO);
  Analyse(Bytes(3, 0xFF), VBMP3_ERR_NOT_AUDIO);
  Analyse(synth::Id3v1("x", "y", "", 0, 0), VBMP3_ERR_NOT_AUDIO);
  // A tag size past the end of the file.
  Bytes b = synth::Id3v2(0);
  b[6] = 0x7F;
  Analyse(b, VBMP3_ERR_NOT_AUDIO);
}

TEST(Hostile, AbsurdChunkSizesStayInsideTheFile) {
  const Bytes audio = synth::Frames(synth::kMpeg1L3, 10);
  Bytes b = synth::Riff("RMP3", {{"data", audio}});
  vbmp3::WriteLE32(b.data() + 4, 0xFFFFFFF0u);   // the form
  vbmp3::WriteLE32(b.data() + 16, 0xFFFFFFF0u);  // the data chunk
  EXPECT_EQ(Analyse(b).frames, 10u);
  // Thousands of empty chunks before the data: the walk gives up, cleanly.
  std::vector<synth::Chunk> many(20000, synth::Chunk{"junk", {}});
  many.push_back({"data", audio});
  Analyse(synth::Riff("RMP3", many), VBMP3_ERR_NOT_AUDIO);
}

// Counts the reads the parsers make: each is a trip to the disk, and under
// Wine a costly one.
class CountingFile : public vbmp3::MemoryFile {
 public:
  using MemoryFile::MemoryFile;
  bool ReadAt(uint64_t offset, void* buffer, size_t n, size_t& got) override {
    ++reads;
    return MemoryFile::ReadAt(offset, buffer, n, got);
  }
  int reads = 0;
};

TEST(FileReads, ASmallFileIsReadOnceAndEveryFileGivesTheSameAnswers) {
  // Around the first read's 8 KiB: whole files below it, a front and a
  // tail read above it, both with tags at either end.
  for (int frames = 1; frames <= 40; ++frames) {
    const Bytes audio = synth::Frames(synth::kMpeg1L3, frames, 3);
    const Bytes file =
        synth::Join({synth::Id3v2(200), audio, synth::Id3v1("title", "artist", "", 5, 7)});
    CountingFile counting(file);
    TagRecord tag;
    StreamInfoRecord info;
    vbmp3::TagVersions versions;
    ASSERT_EQ(vbmp3::ReadFileInfo(counting, &tag, &info, nullptr, &versions), 0) << frames;
    EXPECT_EQ(info.Frames, frames);
    EXPECT_EQ(info.FileSize, static_cast<int32_t>(file.size()));
    EXPECT_STREQ(tag.Title, "title");
    EXPECT_EQ(versions.id3v1, 11);
    EXPECT_EQ(versions.id3v2, 3);
    if (file.size() <= 8192) EXPECT_EQ(counting.reads, 1) << file.size() << " bytes";
  }
}

}  // namespace
