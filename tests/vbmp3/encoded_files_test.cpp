// Files made by real encoders (lame, twolame, sox) in a temporary folder:
// every stream kind, measured through the same call the DLL makes. LAME's
// Xing/Info header counts the frames it encoded; the same encoding without
// the header (-t) must walk to the same count.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/vbmp3/synth.h"
#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/audio_stream.h"
#include "vbmp3/src/file_info.h"
#include "vbmp3/src/last_error.h"

namespace {

using synth::Bytes;

class Encoded : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    char pattern[] = "/tmp/vbmp3-encoded-XXXXXX";
    if (!mkdtemp(pattern)) return;
    dir_ = pattern;
    haveEncoders_ =
        Run("command -v lame && command -v twolame && command -v sox") &&
        Run("sox -n -r 44100 -b 16 -c 2 " + Path("tone.wav") + " synth 3 sine 440 sine 660") &&
        Run("sox -n -r 22050 -c 1 " + Path("mono22.wav") + " synth 3 sine 440");
  }
  static void TearDownTestSuite() {
    if (!dir_.empty()) Run("rm -rf '" + dir_ + "'");
  }
  void SetUp() override {
    if (!haveEncoders_) GTEST_SKIP() << "lame, twolame or sox is missing";
  }

  static bool Run(const std::string& command) {
    return std::system(("(" + command + ") >/dev/null 2>&1").c_str()) == 0;
  }
  static std::string Path(const std::string& name) { return dir_ + "/" + name; }

  // Encodes tone.wav (or `input`) with lame `options` into `name`.
  static std::string Lame(const std::string& name, const std::string& options,
                          const std::string& input = "tone.wav") {
    const std::string out = Path(name);
    EXPECT_TRUE(Run("lame --quiet " + options + " " + Path(input) + " " + out)) << options;
    return out;
  }

  struct Info {
    int32_t ok = 0;
    TagRecord tag{};
    StreamInfoRecord info{};
  };
  static Info Probe(const std::string& path) {
    Info r;
    r.ok = vbmp3::GetFileInfo(path.c_str(), &r.tag, &r.info, nullptr);
    return r;
  }
  static vbmp3::AudioStream Stream(const Bytes& bytes) {
    vbmp3::MemoryFile file(bytes);
    vbmp3::AudioStream a;
    EXPECT_EQ(vbmp3::AnalyseAudio(file, a), 0);
    return a;
  }
  static Bytes Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
  }
  static void Save(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }

  // The header's count and the walk of the same encoding without header agree.
  static void ExpectHeaderMatchesWalk(const std::string& options, int version, int layer,
                                      int channels, int rate,
                                      const std::string& input = "tone.wav") {
    SCOPED_TRACE(options);
    const std::string with = Lame("with.mp3", options, input);
    const std::string without = Lame("without.mp3", options + " -t", input);
    const vbmp3::AudioStream h = Stream(Load(with));
    const vbmp3::AudioStream w = Stream(Load(without));
    EXPECT_TRUE(h.mpeg.fromVbrHeader);
    EXPECT_FALSE(w.mpeg.fromVbrHeader);
    EXPECT_EQ(h.frames, w.frames);
    EXPECT_EQ(h.bitRateKbps, w.bitRateKbps);
    const Info p = Probe(with);
    ASSERT_EQ(p.ok, 1);
    EXPECT_EQ(p.info.Version, version);
    EXPECT_EQ(p.info.Layer, layer);
    EXPECT_EQ(p.info.Channels, channels);
    EXPECT_EQ(p.info.SamplingRate, rate);
    EXPECT_EQ(p.info.Frames, static_cast<int32_t>(w.frames));
    EXPECT_EQ(p.info.TotalSeconds, 3);
    struct stat st;
    ASSERT_EQ(stat(with.c_str(), &st), 0);
    EXPECT_EQ(p.info.FileSize, st.st_size);
  }

  static std::string dir_;
  static bool haveEncoders_;
};

std::string Encoded::dir_;
bool Encoded::haveEncoders_ = false;

TEST_F(Encoded, LameLayerThreeEveryVersionAndChannelMode) {
  ExpectHeaderMatchesWalk("-b 128", 1, 3, 2, 44100);
  ExpectHeaderMatchesWalk("-b 128 -m s", 1, 3, 2, 44100);
  ExpectHeaderMatchesWalk("-b 128 -m d", 1, 3, 2, 44100);
  ExpectHeaderMatchesWalk("-b 96 -m m", 1, 3, 1, 44100);
  ExpectHeaderMatchesWalk("-V 2", 1, 3, 2, 44100);
  ExpectHeaderMatchesWalk("--abr 160", 1, 3, 2, 44100);
  ExpectHeaderMatchesWalk("-V 5 --resample 22.05", 2, 3, 2, 22050);
  ExpectHeaderMatchesWalk("-b 64 --resample 24", 2, 3, 2, 24000);
  ExpectHeaderMatchesWalk("-V 6 --resample 11.025", 3, 3, 2, 11025);
  ExpectHeaderMatchesWalk("-b 24 -m m --resample 8", 3, 3, 1, 8000, "mono22.wav");
}

TEST_F(Encoded, VariableRateIsAveragedAndConstantRateExact) {
  const Info cbr = Probe(Lame("cbr.mp3", "-b 192"));
  EXPECT_EQ(cbr.info.BitRate, 192);
  const std::string vbr = Lame("vbr.mp3", "-V 0");
  const vbmp3::AudioStream s = Stream(Load(vbr));
  EXPECT_TRUE(s.mpeg.variableBitRate);
  // Average over the audio frames, the header's frame excluded.
  const double seconds = s.frames * 1152.0 / 44100.0;
  EXPECT_NEAR(Probe(vbr).info.BitRate, s.mpeg.audioBytes * 8 / seconds / 1000, 0.5);
}

TEST_F(Encoded, ProtectedStreamWithInfoFrame) {
  ExpectHeaderMatchesWalk("-b 128 -p", 1, 3, 2, 44100);
  ExpectHeaderMatchesWalk("-V 4 -p", 1, 3, 2, 44100);
}

TEST_F(Encoded, FreeFormatStream) {
  const std::string free = Lame("free.mp3", "--freeformat -b 320 -t");
  const std::string fixed = Lame("fixed.mp3", "-b 320 -t");
  const Info f = Probe(free);
  ASSERT_EQ(f.ok, 1);
  EXPECT_EQ(f.info.Frames, Probe(fixed).info.Frames);
  EXPECT_NEAR(f.info.BitRate, 320, 1);
}

TEST_F(Encoded, TwoLameLayerTwo) {
  ASSERT_TRUE(Run("twolame --quiet " + Path("tone.wav") + " " + Path("l2.mp2")));
  ASSERT_TRUE(Run("twolame --quiet -m m -b 64 " + Path("mono22.wav") + " " + Path("l2m2.mp2")));
  const Info a = Probe(Path("l2.mp2"));
  ASSERT_EQ(a.ok, 1);
  EXPECT_EQ(a.info.Version, 1);
  EXPECT_EQ(a.info.Layer, 2);
  EXPECT_EQ(a.info.BitRate, 192);
  // 3 s of samples need 114.8 frames of 1152; the encoder may add a frame to flush.
  EXPECT_GE(a.info.Frames, 115);
  EXPECT_LE(a.info.Frames, 117);
  const Info b = Probe(Path("l2m2.mp2"));
  ASSERT_EQ(b.ok, 1);
  EXPECT_EQ(b.info.Version, 2);
  EXPECT_EQ(b.info.Channels, 1);
  EXPECT_EQ(b.info.SamplingRate, 22050);
  EXPECT_EQ(b.info.TotalSeconds, 3);
}

TEST_F(Encoded, CutFileIsWalkedNotBelieved) {
  const Bytes full = Load(Lame("cut.mp3", "-V 3"));
  const vbmp3::AudioStream whole = Stream(full);
  Bytes cut(full.begin(), full.begin() + static_cast<long>(full.size() * 2 / 3));
  const vbmp3::AudioStream part = Stream(cut);
  EXPECT_FALSE(part.mpeg.fromVbrHeader);
  EXPECT_LT(part.frames, whole.frames);
  EXPECT_GT(part.frames, whole.frames / 2);
  // The same encoding without header, cut at the same audio byte.
  const Bytes bare = Load(Lame("cut-t.mp3", "-V 3 -t"));
  const size_t headerFrame = static_cast<size_t>(whole.mpeg.firstFrame);
  Bytes bareCut(bare.begin(), bare.begin() + static_cast<long>(cut.size() - headerFrame));
  EXPECT_EQ(Stream(bareCut).frames, part.frames);
}

TEST_F(Encoded, TagsJunkAndContainersAroundARealStream) {
  const std::string plain = Lame("plain.mp3", "-V 4");
  const Bytes audio = Load(plain);
  const uint64_t frames = Stream(audio).frames;
  const std::string v2 = Lame("v2.mp3", "-V 4 --add-id3v2 --tt Title --ta Artist --tn 3 --tg Jazz");
  const Info tagged = Probe(v2);
  EXPECT_EQ(tagged.info.Frames, static_cast<int32_t>(frames));
  EXPECT_TRUE(Stream(Load(v2)).mpeg.fromVbrHeader);
  EXPECT_STREQ(tagged.tag.Title, "Title");
  EXPECT_STREQ(tagged.tag.GenreName, "Jazz");

  Bytes junk(2000, 0);
  for (size_t i = 0; i < junk.size(); i += 3) junk[i] = 0xFF;
  Save(Path("junk.mp3"), synth::Join({junk, audio, synth::Ape(), synth::Id3v1("x", "", "", 1, 2)}));
  EXPECT_EQ(Probe(Path("junk.mp3")).info.Frames, static_cast<int32_t>(frames));

  // Same stream wrapped as .rmp and as MPEG inside WAVE, named .mp3 to show
  // that content decides.
  Save(Path("riff.mp3"), synth::Riff("RMP3", {{"data", audio}}));
  const Bytes fmt = synth::WaveFormat(0x55, 2, 44100, 16000, 1, 0);
  Save(Path("wave.rmp"), synth::Riff("WAVE", {{"fmt ", fmt}, {"data", audio}}));
  for (const char* name : {"riff.mp3", "wave.rmp"}) {
    const Info r = Probe(Path(name));
    EXPECT_EQ(r.ok, 1) << name;
    EXPECT_EQ(r.info.Frames, static_cast<int32_t>(frames)) << name;
    EXPECT_EQ(r.info.Layer, 3) << name;
  }
}

TEST_F(Encoded, SoxWaveFiles) {
  ASSERT_TRUE(Run("sox -n -r 48000 -b 24 -c 2 " + Path("ext.wav") + " synth 2.5 sine 440"));
  ASSERT_TRUE(Run("sox -n -r 8000 -b 8 -c 1 " + Path("u8.wav") + " synth 4 sine 440"));
  const Info pcm = Probe(Path("tone.wav"));
  EXPECT_EQ(pcm.info.Version, 0);
  EXPECT_EQ(pcm.info.Layer, 0);
  EXPECT_EQ(pcm.info.Frames, 3 * 44100);
  EXPECT_EQ(pcm.info.BitRate, 1411);
  EXPECT_EQ(pcm.info.TotalSeconds, 3);
  const Info ext = Probe(Path("ext.wav"));  // WAVE_FORMAT_EXTENSIBLE
  ASSERT_EQ(ext.ok, 1);
  EXPECT_EQ(ext.info.Frames, 120000);
  EXPECT_EQ(ext.info.BitRate, 2304);
  EXPECT_EQ(ext.info.TotalSeconds, 2);
  const Info u8 = Probe(Path("u8.wav"));
  EXPECT_EQ(u8.info.Frames, 32000);
  EXPECT_EQ(u8.info.BitRate, 64);
  EXPECT_EQ(u8.info.Channels, 1);
}

TEST_F(Encoded, WriteThenReadBackKeepsEveryAudioByte) {
  for (const char* name : {"w.mp3", "w.wav", "w.rmp"}) {
    SCOPED_TRACE(name);
    const Bytes mp3 = Load(Lame("src.mp3", "-b 128"));
    const Bytes original = std::string(name) == "w.mp3"   ? mp3
                           : std::string(name) == "w.wav" ? Load(Path("tone.wav"))
                                                          : synth::Riff("RMP3", {{"data", mp3}});
    Save(Path(name), original);
    const Info before = Probe(Path(name));
    TagRecord tag;
    std::memset(&tag, ' ', sizeof tag);
    std::memcpy(tag.Title, "\x83\x5C\x83\x74\x83\x67", 6);  // ソフト
    tag.GenreNumber = 146;
    std::memset(tag.GenreName, 0, sizeof tag.GenreName);
    ASSERT_EQ(vbmp3::SetTagInfo(Path(name).c_str(), &tag), 1);
    const Info after = Probe(Path(name));
    EXPECT_STREQ(after.tag.Title, "\x83\x5C\x83\x74\x83\x67");
    EXPECT_STREQ(after.tag.GenreName, "JPop");
    EXPECT_EQ(after.info.Frames, before.info.Frames);
    const Bytes written = Load(Path(name));
    // Only the RIFF size field (bytes 4-7) may change before the old end.
    EXPECT_TRUE(std::equal(original.begin() + 8, original.end(), written.begin() + 8));
  }
}

TEST_F(Encoded, ReadOnlyAndMissingFilesFailWithTheirNumbers) {
  const std::string path = Lame("ro.mp3", "-b 64");
  const Bytes before = Load(path);
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  TagRecord tag{};
  EXPECT_EQ(vbmp3::SetTagInfo(path.c_str(), &tag), 0);
  EXPECT_EQ(vbmp3::LastErrorNo(), VBMP3_ERR_READ_ONLY);
  EXPECT_EQ(Load(path), before);
  EXPECT_EQ(Probe(Path("none.mp3")).ok, 0);
  EXPECT_EQ(vbmp3::LastErrorNo(), VBMP3_ERR_FILE_NOT_FOUND);
  EXPECT_EQ(Probe(dir_).ok, 0);  // a directory
  EXPECT_EQ(vbmp3::LastErrorNo(), VBMP3_ERR_FILE_NOT_FOUND);
  Save(Path("empty.mp3"), {});
  EXPECT_EQ(Probe(Path("empty.mp3")).ok, 0);
  EXPECT_EQ(vbmp3::LastErrorNo(), VBMP3_ERR_NOT_AUDIO);
}

TEST_F(Encoded, SparseFourGigabyteFileIsQuick) {
  const std::string zeros = Path("sparse.mp3");
  ASSERT_TRUE(Run("truncate -s 4G " + zeros));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Probe(zeros).ok, 0);
  EXPECT_EQ(vbmp3::LastErrorNo(), VBMP3_ERR_NOT_AUDIO);
  // A real stream in front of 4 GB of nothing: measured, not walked into the void.
  const Bytes audio = Load(Lame("head.mp3", "-b 128 -t"));
  const std::string headed = Path("headed.mp3");
  Save(headed, audio);
  ASSERT_TRUE(Run("truncate -s 4G " + headed));
  const Info h = Probe(headed);
  EXPECT_EQ(h.ok, 1);
  EXPECT_EQ(h.info.Frames, static_cast<int32_t>(Stream(audio).frames));
  EXPECT_EQ(h.info.FileSize, INT32_MAX);  // clamped
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

}  // namespace
