// The FLAC decoder against the reference decoder: files made by the real
// `flac` encoder from sox's noise and tones, decoded here and by `flac -d`,
// must give the same samples, every one; a damaged frame costs that frame
// only.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "vbmp3/src/flac/flac_bit_reader.h"
#include "vbmp3/src/flac/flac_decoder.h"
#include "vbmp3/src/flac/flac_frame.h"
#include "vbmp3/src/flac/flac_stream_info.h"
#include "vbmp3/src/io/file_io.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Samples = std::vector<int32_t>;

Bytes Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

uint32_t LE(const Bytes& b, size_t at, int n) {
  uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | b[at + i];
  return v;
}

// The samples of the WAV file `flac -d` writes (PCM or extensible PCM).
Samples WavSamples(const Bytes& wav) {
  Samples out;
  size_t at = 12, width = 0;
  while (at + 8 <= wav.size()) {
    uint32_t size = LE(wav, at + 4, 4);
    if (std::equal(wav.begin() + at, wav.begin() + at + 4, "fmt ")) {
      width = LE(wav, at + 8 + 12, 2) / LE(wav, at + 8 + 2, 2);
    } else if (std::equal(wav.begin() + at, wav.begin() + at + 4, "data") && width) {
      for (size_t p = at + 8; p + width <= at + 8 + size && p + width <= wav.size(); p += width) {
        uint32_t raw = LE(wav, p, static_cast<int>(width));
        int shift = 32 - 8 * static_cast<int>(width);
        // 8-bit WAV is unsigned; wider is signed.
        out.push_back(width == 1 ? static_cast<int32_t>(raw) - 128
                                 : static_cast<int32_t>(raw << shift) >> shift);
      }
      return out;
    }
    at += 8 + size + (size & 1);
  }
  return out;
}

// The first frame's offset: after "fLaC" and every metadata block.
bool FindFirstFrame(const Bytes& flac, vbmp3::FlacStreamInfo& info, uint64_t& offset) {
  if (flac.size() < 42 || !std::equal(flac.begin(), flac.begin() + 4, "fLaC")) return false;
  size_t at = 4;
  bool last = false;
  while (!last && at + 4 <= flac.size()) {
    last = flac[at] & 0x80;
    size_t length = (size_t{flac[at + 1]} << 16) | (flac[at + 2] << 8) | flac[at + 3];
    if ((flac[at] & 0x7F) == 0 && !vbmp3::ParseFlacStreamInfo(&flac[at + 4], length, info)) {
      return false;
    }
    at += 4 + length;
  }
  offset = at;
  return last && at <= flac.size();
}

struct Decoded {
  Samples samples;
  std::vector<uint64_t> frameOffsets;
  uint64_t skipped = 0;
};

Decoded DecodeAll(const Bytes& flac) {
  Decoded d;
  vbmp3::FlacStreamInfo info;
  uint64_t first = 0;
  if (!FindFirstFrame(flac, info, first)) return d;
  vbmp3::MemoryFile file(flac);
  vbmp3::FlacDecoder decoder(file, first, info);
  Samples frame;
  while (decoder.DecodeFrame(frame)) {
    EXPECT_EQ(frame.size(), size_t{decoder.Header().blockSize} * info.channels);
    d.frameOffsets.push_back(decoder.FrameOffset());
    d.samples.insert(d.samples.end(), frame.begin(), frame.end());
  }
  d.skipped = decoder.SkippedBytes();
  return d;
}

class FlacDecoderTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    char pattern[] = "/tmp/vbmp3-flac-XXXXXX";
    if (mkdtemp(pattern)) dir_ = pattern;
    haveTools_ = !dir_.empty() && Run("command -v flac && command -v sox");
  }
  static void TearDownTestSuite() {
    if (!dir_.empty()) Run("rm -rf '" + dir_ + "'");
  }
  void SetUp() override {
    if (!haveTools_) GTEST_SKIP() << "flac or sox is missing";
  }
  static bool Run(const std::string& command) {
    return std::system(("(" + command + ") >/dev/null 2>&1").c_str()) == 0;
  }
  static std::string Path(const std::string& name) { return dir_ + "/" + name; }

  // Makes `name`.flac from sox's `synth` with `format` (-r, -b, -c), encoded
  // with flac `options`; returns its bytes and, in `reference`, what flac -d
  // decodes of it.
  static Bytes Encode(const std::string& name, const std::string& format, const std::string& synth,
                      const std::string& options, Samples& reference) {
    // No dither: silence must stay silence.
    EXPECT_TRUE(Run("sox -D -n " + format + " " + Path(name + ".wav") + " synth " + synth)) << name;
    return EncodeWav(name, options, reference);
  }
  // The same from `name`.wav as it is.
  static Bytes EncodeWav(const std::string& name, const std::string& options, Samples& reference) {
    std::string wav = Path(name + ".wav"), flac = Path(name + ".flac");
    std::string back = Path(name + ".back.wav");
    EXPECT_TRUE(Run("flac -s -f " + options + " -o " + flac + " " + wav)) << name;
    EXPECT_TRUE(Run("flac -s -d -f -o " + back + " " + flac)) << name;
    reference = WavSamples(Load(back));
    return Load(flac);
  }

  static inline std::string dir_;
  static inline bool haveTools_ = false;
};

struct Case {
  const char* name;
  const char* format;
  const char* synth;
  const char* options;
};

// Eight tones a channel: the encoder picks LPC orders in the high twenties
// and thirties for them.
constexpr const char kManyTones[] =
    "2 sine 300 sine 500 synth 2 sine mix 1230 sine mix 1777 synth 2 sine mix 3100 "
    "sine mix 5200 synth 2 sine mix 7000 sine mix 9000 vol 0.2";

const Case kCases[] = {
    {"cd_default", "-r 44100 -b 16 -c 2", "3 sine 440 sine 660 : synth 1 pinknoise", ""},
    {"mono48_best", "-r 48000 -b 16 -c 1", "2 whitenoise vol 0.3 : synth 1 sine 1000", "-8"},
    {"hires96_24", "-r 96000 -b 24 -c 2", "2 pinknoise sine 3000", "-8"},
    {"hires192_mono", "-r 192000 -b 24 -c 1", "1 sine 200-9000 : synth 0.5 brownnoise", "-5"},
    {"fixed_only", "-r 44100 -b 16 -c 2", "2 sine 440 whitenoise", "-0"},
    {"lpc32_lax", "-r 44100 -b 24 -c 2", kManyTones,
     "-8 --lax -l 32 -q 15 -r 0,15 -A 'tukey(0.5)' -e"},
    {"lpc32_16bit", "-r 48000 -b 16 -c 1", kManyTones, "--lax -l 32 -p -r 8"},
    // 3.05 s at blocks of 1000 leave a short last block; 1000 needs 16 bits
    // at the header's end, a short block 8 or 16.
    {"short_last", "-r 44100 -b 16 -c 2", "3.05 sine 440 sine 445", "--lax -b 1000"},
    {"tiny_blocks", "-r 44100 -b 16 -c 1", "0.3 sine 440", "--lax -b 200"},
    {"rate_in_header", "-r 11025 -b 16 -c 1", "1 sine 440", ""},
    {"rate_khz", "-r 12000 -b 16 -c 2", "1 sine 440 sine 550", "-8"},
    {"silence_constant", "-r 44100 -b 16 -c 2", "1 sine 440 pad 0 1", "-5"},
    {"independent_channels", "-r 44100 -b 16 -c 2", "1 sine 440 sine 4400", "--no-mid-side"},
    {"eight_bit", "-r 22050 -b 8 -c 1", "1 sine 440", ""},
    {"noise32", "-r 48000 -b 32 -c 2", "1 whitenoise sine 100 vol 0.9", "-8"},
    {"six_channels", "-r 48000 -b 16 -c 6",
     "1 sine 100 sine 200 sine 300 sine 400 sine 500 sine 600", "-5"},
};

TEST_F(FlacDecoderTest, EverySampleEqualsTheReferenceDecoder) {
  for (const Case& c : kCases) {
    Samples reference;
    Bytes flac = Encode(c.name, c.format, c.synth, c.options, reference);
    ASSERT_FALSE(reference.empty()) << c.name;
    Decoded d = DecodeAll(flac);
    EXPECT_EQ(d.skipped, 0u) << c.name;
    ASSERT_EQ(d.samples.size(), reference.size()) << c.name;
    EXPECT_TRUE(d.samples == reference) << c.name;
  }
}

// Left/side, right/side and mid/side frames: one channel simple, the other
// the first plus noise, then the channels swapped.
TEST_F(FlacDecoderTest, EveryStereoCoding) {
  std::string half = Path("half.wav"), swapped = Path("swapped.wav");
  ASSERT_TRUE(Run("sox -D -n -r 44100 -b 16 -c 2 " + half +
                  " synth 2 sine 440 pinknoise synth 2 sine 440 sine mix 440"));
  ASSERT_TRUE(Run("sox " + half + " " + swapped + " remix 2 1"));
  ASSERT_TRUE(Run("sox " + half + " " + swapped + " " + Path("stereo.wav")));
  Samples reference;
  EXPECT_TRUE(DecodeAll(EncodeWav("stereo", "-8", reference)).samples == reference);
}

// A 16-bit source in 24 bits: every subframe has 8 wasted bits.
TEST_F(FlacDecoderTest, WastedBits) {
  ASSERT_TRUE(Run("sox -n -r 48000 -b 16 -c 2 " + Path("w16.wav") + " synth 1 pinknoise sine 500"));
  ASSERT_TRUE(Run("sox " + Path("w16.wav") + " -b 24 " + Path("w24.wav")));
  Samples reference;
  EXPECT_TRUE(DecodeAll(EncodeWav("w24", "-8", reference)).samples == reference);
}

// The reference without the samples of frame `skip` (frames of `block`
// samples per channel).
Samples WithoutFrame(const Samples& reference, size_t skip, size_t block, size_t channels) {
  Samples out(reference.begin(), reference.begin() + skip * block * channels);
  out.insert(out.end(), reference.begin() + (skip + 1) * block * channels, reference.end());
  return out;
}

TEST_F(FlacDecoderTest, ADamagedFrameIsSkippedAndTheRestPlays) {
  Samples reference;
  Bytes flac = Encode("damaged", "-r 44100 -b 16 -c 2", "4 sine 440 pinknoise", "-5", reference);
  Decoded whole = DecodeAll(flac);
  ASSERT_GT(whole.frameOffsets.size(), 20u);
  const size_t block = 4096;
  // Bytes flipped inside a frame's subframes: its CRC-16 no longer matches.
  Bytes body = flac;
  uint64_t middle = (whole.frameOffsets[10] + whole.frameOffsets[11]) / 2;
  for (uint64_t i = middle; i < middle + 6; ++i) body[i] ^= 0x5A;
  Decoded d = DecodeAll(body);
  EXPECT_GT(d.skipped, 0u);
  EXPECT_TRUE(d.samples == WithoutFrame(reference, 10, block, 2));
  // A header whose block size code changed: its CRC-8 no longer matches.
  Bytes header = flac;
  header[whole.frameOffsets[5] + 2] ^= 0x10;
  EXPECT_TRUE(DecodeAll(header).samples == WithoutFrame(reference, 5, block, 2));
  // Cut inside the last frame: the frames before it all come out.
  Bytes cut(flac.begin(), flac.begin() + static_cast<ptrdiff_t>(whole.frameOffsets.back() + 50));
  Decoded c = DecodeAll(cut);
  EXPECT_EQ(c.frameOffsets.size(), whole.frameOffsets.size() - 1);
  EXPECT_TRUE(std::equal(c.samples.begin(), c.samples.end(), reference.begin()));
}

// Bits written most significant first, for frames the encoder never makes.
struct BitWriter {
  Bytes bytes;
  int used = 8;
  void Put(uint32_t value, int n) {
    for (int i = n - 1; i >= 0; --i) {
      if (used == 8) bytes.push_back(0), used = 0;
      bytes.back() |= ((value >> i) & 1) << (7 - used++);
    }
  }
};

// Escaped residual partitions with 5- and 4-bit parameters, a Rice
// partition, wasted bits, mid/side, and a block size at the header's end.
TEST(FlacFrames, EscapedPartitionsAndWastedBits) {
  BitWriter w;
  w.Put(0xFFF8, 16), w.Put(0x60, 8), w.Put(0xA0, 8), w.Put(0, 8), w.Put(8 - 1, 8);
  w.Put(vbmp3::FlacCrc8(w.bytes.data(), w.bytes.size()), 8);
  // Mid: FIXED order 1 from 100; 5-bit parameters, two partitions: the
  // first escaped to 6-bit residuals, the second Rice with parameter 2.
  w.Put(0, 1), w.Put(9, 6), w.Put(0, 1), w.Put(100, 16);
  w.Put(1, 2), w.Put(1, 4), w.Put(31, 5), w.Put(6, 5);
  for (int r : {5, -3, -32}) w.Put(static_cast<uint32_t>(r) & 0x3F, 6);
  w.Put(2, 5);
  w.Put(0b110, 3), w.Put(0b111, 3), w.Put(0b100, 3), w.Put(0b0110, 4);  // 1, -2, 0, 3
  // Side (17 bits): two wasted bits, FIXED order 0, a 4-bit escape to
  // 4-bit residuals of -3: -12 each.
  w.Put(0, 1), w.Put(8, 6), w.Put(1, 1), w.Put(0b01, 2);
  w.Put(0, 2), w.Put(0, 4), w.Put(15, 4), w.Put(4, 5);
  for (int i = 0; i < 8; ++i) w.Put(0b1101, 4);
  w.Put(0, (8 - w.used) % 8);
  w.Put(vbmp3::FlacCrc16(w.bytes.data(), w.bytes.size()), 16);

  vbmp3::FlacStreamInfo info;
  info.sampleRate = 44100, info.channels = 2, info.bitsPerSample = 16;
  vbmp3::MemoryFile file(w.bytes);
  vbmp3::FlacDecoder decoder(file, 0, info);
  Samples frame;
  ASSERT_TRUE(decoder.DecodeFrame(frame));
  Samples expected;
  for (int mid : {100, 105, 102, 70, 71, 69, 69, 72})
    expected.insert(expected.end(), {mid - 6, mid + 6});
  EXPECT_EQ(frame, expected);
  EXPECT_EQ(decoder.Header().sampleRate, 44100u);
  EXPECT_FALSE(decoder.DecodeFrame(frame));
}

TEST(FlacBitReader, NumbersCodesAndTheEnd) {
  const uint8_t bytes[] = {0xE2, 0x82, 0xAC, 0b10110100, 0x00, 0x01};
  vbmp3::FlacBitReader bits(bytes, sizeof bytes);
  uint64_t number = 0;
  ASSERT_TRUE(bits.ReadUtf8Number(number));
  EXPECT_EQ(number, 0x20ACu);
  int64_t s = 0;
  ASSERT_TRUE(bits.ReadSigned(3, s));  // 101
  EXPECT_EQ(s, -3);
  int32_t rice = 0;
  ASSERT_TRUE(bits.ReadRice(2, rice));  // quotient 0, remainder 01: folded 1 is -1
  EXPECT_EQ(rice, -1);
  uint32_t zeros = 0;
  ASSERT_TRUE(bits.ReadUnary(100, zeros));
  EXPECT_EQ(zeros, 16u + 1);
  uint32_t v = 0;
  EXPECT_FALSE(bits.ReadBits(1, v));
  EXPECT_TRUE(bits.RanOut());
  const uint8_t continuation[] = {0x80};
  vbmp3::FlacBitReader bad(continuation, 1);
  EXPECT_FALSE(bad.ReadUtf8Number(number));
  EXPECT_FALSE(bad.RanOut());
}

}  // namespace
