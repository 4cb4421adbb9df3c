// The library's player under Wine: decoding of every stream kind, the open
// record, and real-time playback into a PulseAudio null sink.
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/playback/pcm_source.h"
#include "vbmp3/playback/playback.h"
#include "vbmp3/playback/player.h"
#include "vbmp3/src/audio_stream.h"
#include "vbmp3/src/io/file_io.h"
#include "vbmp3/src/last_error.h"

namespace {

using Clock = std::chrono::steady_clock;
using vbmp3::playback::DecodedAudio;
using vbmp3::playback::DecodeFileToMemory;

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Fixture files are written at build time; a missing encoder leaves its
// files out and the cases that need them skip.
std::string FixturePath(const char* name) { return std::string(PLAYBACK_FIXTURES "/") + name; }

#define REQUIRE_FIXTURE(var, name)           \
  const std::string var = FixturePath(name); \
  if (!Exists(var)) GTEST_SKIP() << "fixture not generated: " << name

vbmp3::AudioStream Measure(const std::string& path) {
  int32_t error = 0;
  vbmp3::AudioStream stream;
  auto file = vbmp3::OpenFile(path.c_str(), vbmp3::OpenMode::Read, error);
  EXPECT_TRUE(file) << path;
  if (file) {
    EXPECT_EQ(vbmp3::AnalyseAudio(*file, stream, vbmp3::Measure::Exact), 0) << path;
  }
  return stream;
}

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Polls the state every 20 ms until `done` says so or `limit` seconds pass.
template <typename Done>
bool PollUntil(double limit, Done done) {
  const auto start = Clock::now();
  while (SecondsSince(start) < limit) {
    int32_t seconds = -1;
    const int32_t state = vbmp3_getState(&seconds);
    if (done(state, seconds)) return true;
    Sleep(20);
  }
  return false;
}

// ---------------------------------------------------------------------------
// Decoding: the platform codec must give exactly one frame's samples per
// frame the stream analysis counts (a Xing/Info frame is not audio).

struct StreamCase {
  const char* file;
  int version;  // 0: PCM
  int layer;
  int samplesPerFrame;
};

void PrintTo(const StreamCase& c, std::ostream* os) { *os << c.file; }

class DecodeTest : public ::testing::TestWithParam<StreamCase> {};

TEST_P(DecodeTest, GivesTheSamplesOfEveryFrame) {
  const StreamCase& c = GetParam();
  REQUIRE_FIXTURE(path, c.file);
  const vbmp3::AudioStream stream = Measure(path);
  ASSERT_EQ(stream.version, c.version);
  ASSERT_EQ(stream.layer, c.layer);
  ASSERT_GT(stream.frames, 0u);

  DecodedAudio audio;
  ASSERT_EQ(DecodeFileToMemory(path, audio), 0);
  EXPECT_EQ(static_cast<int>(audio.format.nSamplesPerSec), stream.samplingRate);
  EXPECT_EQ(audio.format.nChannels, stream.channels);
  EXPECT_EQ(audio.SampleFrames(), stream.frames * c.samplesPerFrame);
  if (c.version != 0) {
    EXPECT_EQ(audio.format.wBitsPerSample, 16);
    EXPECT_EQ(audio.format.wFormatTag, WAVE_FORMAT_PCM);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Streams, DecodeTest,
    ::testing::Values(StreamCase{"mpeg1_l1.mp1", 1, 1, 384}, StreamCase{"mpeg2_l1.mp1", 2, 1, 384},
                      StreamCase{"mpeg1_l2.mp2", 1, 2, 1152},
                      StreamCase{"mpeg2_l2.mp2", 2, 2, 1152},
                      StreamCase{"mpeg1_l3.mp3", 1, 3, 1152}, StreamCase{"mpeg2_l3.mp3", 2, 3, 576},
                      StreamCase{"mpeg25_l3.mp3", 3, 3, 576}, StreamCase{"vbr_l3.mp3", 1, 3, 1152},
                      StreamCase{"riff.rmp", 1, 3, 1152}, StreamCase{"mp3_in.wav", 1, 3, 1152},
                      StreamCase{"pcm16_stereo.wav", 0, 0, 1},
                      StreamCase{"pcm8_mono.wav", 0, 0, 1}),
    [](const ::testing::TestParamInfo<StreamCase>& info) {
      std::string name = info.param.file;
      for (char& ch : name) {
        if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
      }
      return name;
    });

std::string ReadWhole(const std::string& path) {
  std::string bytes;
  HANDLE h =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return bytes;
  bytes.resize(GetFileSize(h, nullptr));
  DWORD read = 0;
  ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  bytes.resize(read);
  CloseHandle(h);
  return bytes;
}

std::string WriteTemp(const char* name, const std::string& bytes) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  const std::string path = std::string(folder) + name;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
  return path;
}

// Damage a user's file may carry: the player keeps going over junk between
// frames and stops cleanly at a cut-off frame.
TEST(DamagedStreamTest, JunkBetweenFramesIsSkipped) {
  REQUIRE_FIXTURE(path, "mpeg1_l3.mp3");
  const uint64_t frames = Measure(path).frames;
  std::string bytes = ReadWhole(path);
  // 128 kbps at 44.1 kHz: frames of 417 or 418 bytes; this lands mid-stream
  // on a frame boundary only by chance, which the resync must not need.
  bytes.insert(bytes.size() / 2, std::string(777, '\x55'));
  const std::string damaged = WriteTemp("velnoir-junk.mp3", bytes);
  DecodedAudio audio;
  EXPECT_EQ(DecodeFileToMemory(damaged, audio), 0);
  // The frame the junk split is lost, at most one more with it.
  EXPECT_LE(audio.SampleFrames(), frames * 1152);
  EXPECT_GE(audio.SampleFrames(), (frames - 2) * 1152);
  DeleteFileA(damaged.c_str());
}

TEST(DamagedStreamTest, ACutOffFileEndsAtItsLastWholeFrame) {
  REQUIRE_FIXTURE(path, "mpeg2_l2.mp2");
  const uint64_t frames = Measure(path).frames;
  std::string bytes = ReadWhole(path);
  // Layer II at 64 kbps, 24 kHz: 384-byte frames; cut 100 bytes into the
  // last but one.
  ASSERT_EQ(bytes.size() % 384, 0u);
  bytes.resize(bytes.size() - 384 - 284);
  const std::string cut = WriteTemp("velnoir-cut.mp2", bytes);
  DecodedAudio audio;
  EXPECT_EQ(DecodeFileToMemory(cut, audio), 0);
  EXPECT_EQ(audio.SampleFrames(), (frames - 2) * 1152);
  DeleteFileA(cut.c_str());
}

TEST(DecodeFailureTest, NamesWhatIsWrong) {
  DecodedAudio audio;
  EXPECT_EQ(DecodeFileToMemory(FixturePath("no such file.mp3"), audio), VBMP3_ERR_FILE_NOT_FOUND);
  EXPECT_EQ(DecodeFileToMemory("", audio), VBMP3_ERR_BAD_ARGUMENT);

  char folder[MAX_PATH];
  ASSERT_GT(GetTempPathA(MAX_PATH, folder), 0u);
  const std::string text = std::string(folder) + "velnoir-playback-not-audio.txt";
  HANDLE h = CreateFileA(text.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  const char words[] = "These are words, not sound. These are words, not sound.";
  DWORD written = 0;
  WriteFile(h, words, sizeof(words), &written, nullptr);
  CloseHandle(h);
  EXPECT_EQ(DecodeFileToMemory(text, audio), VBMP3_ERR_NOT_AUDIO);
  DeleteFileA(text.c_str());
}

// FLAC through the library's own decoder: what the reference decoder gives.
TEST(FlacDecodeTest, GivesTheSamplesOfTheReferenceDecoder) {
  REQUIRE_FIXTURE(path, "flac16_stereo.flac");
  REQUIRE_FIXTURE(reference, "flac16_stereo.ref.wav");
  DecodedAudio flac, wav;
  ASSERT_EQ(DecodeFileToMemory(path, flac), 0);
  ASSERT_EQ(DecodeFileToMemory(reference, wav), 0);
  EXPECT_EQ(flac.format.wFormatTag, WAVE_FORMAT_PCM);
  EXPECT_EQ(flac.format.nChannels, 2);
  EXPECT_EQ(flac.format.nSamplesPerSec, 44100u);
  EXPECT_EQ(flac.format.wBitsPerSample, 16);
  EXPECT_EQ(flac.SampleFrames(), 88200u);
  EXPECT_TRUE(flac.pcm == wav.pcm);
}

TEST(FlacDecodeTest, A24BitStreamGives16BitSamples) {
  REQUIRE_FIXTURE(path, "flac24_mono.flac");
  DecodedAudio audio;
  ASSERT_EQ(DecodeFileToMemory(path, audio), 0);
  EXPECT_EQ(audio.format.wBitsPerSample, 16);
  EXPECT_EQ(audio.format.nBlockAlign, 2);
  EXPECT_EQ(audio.format.nSamplesPerSec, 96000u);
  EXPECT_EQ(audio.SampleFrames(), 192000u);
}

// ---------------------------------------------------------------------------
// vbmp3_open and its record; no device needed.

class OpenTest : public ::testing::Test {
 protected:
  void TearDown() override { vbmp3::ShutdownPlayback(); }
  OpenInfoRecord info_{};
};

TEST_F(OpenTest, FillsTitleAndTheSameLengthTheFileInformationGives) {
  REQUIRE_FIXTURE(path, "mpeg1_l3.mp3");
  std::memset(&info_, 'x', sizeof(info_));
  ASSERT_EQ(vbmp3_open(path.c_str(), &info_) & 0xFFFF, 1);
  EXPECT_EQ(vbmp3::LastErrorNo(), VBMP3_ERR_NONE);
  EXPECT_STREQ(info_.Title, "Playback test");
  EXPECT_STREQ(info_.Artist, "Velnoir");
  // Readers cut at the first NUL; what follows must not be stale bytes.
  for (size_t i = std::strlen(info_.Title); i < sizeof(info_.Title); ++i)
    ASSERT_EQ(info_.Title[i], 0);
  for (int32_t value : info_.Reserved) EXPECT_EQ(value, 0);
  EXPECT_EQ(info_.TotalSeconds, static_cast<int32_t>(Measure(path).totalSeconds));
  EXPECT_EQ(info_.TotalSeconds, 2);
}

TEST_F(OpenTest, KeepsAFullWidthTitleWhole) {
  REQUIRE_FIXTURE(path, "sjis_title.mp3");
  ASSERT_EQ(vbmp3_open(path.c_str(), &info_) & 0xFFFF, 1);
  // 再生テスト three times in code page 932: the whole 30-byte field.
  const char expected[] =
      "\x8d\xc4\x90\xb6\x83\x65\x83\x58\x83\x67\x8d\xc4\x90\xb6\x83\x65\x83\x58\x83\x67"
      "\x8d\xc4\x90\xb6\x83\x65\x83\x58\x83\x67";
  EXPECT_STREQ(info_.Title, expected);
}

TEST_F(OpenTest, GivesAnEmptyTitleWithoutATag) {
  REQUIRE_FIXTURE(path, "mpeg25_l3.mp3");
  ASSERT_EQ(vbmp3_open(path.c_str(), &info_) & 0xFFFF, 1);
  EXPECT_STREQ(info_.Title, "");
  EXPECT_EQ(info_.TotalSeconds, static_cast<int32_t>(Measure(path).totalSeconds));
}

TEST_F(OpenTest, WaveLengthCountsSampleFrames) {
  REQUIRE_FIXTURE(path, "pcm16_stereo.wav");
  ASSERT_EQ(vbmp3_open(path.c_str(), &info_) & 0xFFFF, 1);
  EXPECT_EQ(info_.TotalSeconds, 4);
}

TEST_F(OpenTest, FlacLengthComesFromItsStreamInfo) {
  REQUIRE_FIXTURE(path, "flac16_stereo.flac");
  ASSERT_EQ(vbmp3_open(path.c_str(), &info_) & 0xFFFF, 1) << vbmp3::LastErrorNo();
  EXPECT_EQ(info_.TotalSeconds, 2);
}

TEST_F(OpenTest, FailuresCarryTheirNumbers) {
  EXPECT_EQ(vbmp3_open(FixturePath("missing.mp3").c_str(), &info_), 0);
  EXPECT_EQ(vbmp3::LastErrorNo(), VBMP3_ERR_FILE_NOT_FOUND);
  EXPECT_EQ(vbmp3_open(nullptr, &info_), 0);
  EXPECT_EQ(vbmp3::LastErrorNo(), VBMP3_ERR_BAD_ARGUMENT);
  EXPECT_EQ(vbmp3_open(FixturePath("mpeg1_l3.mp3").c_str(), nullptr), 0);
  EXPECT_EQ(vbmp3::LastErrorNo(), VBMP3_ERR_BAD_ARGUMENT);
  // A folder is not a file to play.
  EXPECT_EQ(vbmp3_open(PLAYBACK_FIXTURES, &info_), 0);
  EXPECT_EQ(vbmp3::LastErrorNo(), VBMP3_ERR_FILE_NOT_FOUND);
}

TEST_F(OpenTest, AWaveCodingWithoutDecoderIsRefusedAtOpen) {
  REQUIRE_FIXTURE(path, "adpcm.wav");
  EXPECT_EQ(vbmp3_open(path.c_str(), &info_), 0);
  EXPECT_EQ(vbmp3::LastErrorNo(), VBMP3_ERR_NO_DECODER);
}

// Their own number, not "not audio": the program reads their tags.
TEST_F(OpenTest, VorbisAndOpusAreRefusedAsFilesWithoutADecoder) {
  REQUIRE_FIXTURE(vorbis, "vorbis.ogg");
  REQUIRE_FIXTURE(opus, "opus.opus");
  for (const std::string& path : {vorbis, opus}) {
    EXPECT_EQ(vbmp3_open(path.c_str(), &info_), 0) << path;
    EXPECT_EQ(vbmp3::LastErrorNo(), VBMP3_ERR_CANNOT_DECODE) << path;
  }
}

TEST_F(OpenTest, PlayNeedsAnOpenFile) {
  EXPECT_EQ(vbmp3_play(), 0);
  EXPECT_EQ(vbmp3::LastErrorNo(), VBMP3_ERR_NOTHING_OPEN);

  // A failed open leaves nothing open, whatever was open before.
  REQUIRE_FIXTURE(path, "mpeg1_l3.mp3");
  ASSERT_EQ(vbmp3_open(path.c_str(), &info_) & 0xFFFF, 1);
  EXPECT_EQ(vbmp3_open(FixturePath("missing.mp3").c_str(), &info_), 0);
  EXPECT_EQ(vbmp3_play(), 0);
  EXPECT_EQ(vbmp3::LastErrorNo(), VBMP3_ERR_NOTHING_OPEN);

  ASSERT_EQ(vbmp3_open(path.c_str(), &info_) & 0xFFFF, 1);
  vbmp3_close();
  EXPECT_EQ(vbmp3_play(), 0);
  EXPECT_EQ(vbmp3::LastErrorNo(), VBMP3_ERR_NOTHING_OPEN);
}

TEST_F(OpenTest, StateIsStoppedWithNothingOpen) {
  int32_t seconds = -1;
  EXPECT_EQ(vbmp3_getState(&seconds), 0);
  EXPECT_EQ(seconds, 0);
  EXPECT_EQ(vbmp3_getState(nullptr), 0);
  // Stop and close with nothing to stop or close are harmless.
  vbmp3_stop();
  vbmp3_close();
}

// ---------------------------------------------------------------------------
// Without an output device play fails at once with its own number.

TEST(NoOutputTest, PlayFailsCleanlyAndQuickly) {
  REQUIRE_FIXTURE(path, "mpeg1_l3.mp3");
  // With a device present, point the player at one that does not exist.
  if (waveOutGetNumDevs() > 0) vbmp3::playback::SetOutputDevice(waveOutGetNumDevs() + 7);
  OpenInfoRecord info{};
  ASSERT_EQ(vbmp3_open(path.c_str(), &info) & 0xFFFF, 1);
  const auto start = Clock::now();
  EXPECT_EQ(vbmp3_play(), 0);
  EXPECT_EQ(vbmp3::LastErrorNo(), VBMP3_ERR_NO_OUTPUT);
  EXPECT_LT(SecondsSince(start), 2.0);
  int32_t seconds = -1;
  EXPECT_EQ(vbmp3_getState(&seconds), 0);
  EXPECT_EQ(seconds, 0);
  // The file stays open: with a device back, the same file plays.
  vbmp3::playback::SetOutputDevice(WAVE_MAPPER);
  if (waveOutGetNumDevs() > 0) {
    EXPECT_EQ(vbmp3_play() & 0xFFFF, 1);
    EXPECT_EQ(vbmp3_getState(&seconds), 1);
  }
  vbmp3::ShutdownPlayback();
}

// ---------------------------------------------------------------------------
// Real-time playback into the null sink.

class PlayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (waveOutGetNumDevs() == 0)
      GTEST_SKIP() << "no audio output device (run tools/start-audio.sh)";
  }
  void TearDown() override { vbmp3::ShutdownPlayback(); }

  void OpenAndPlay(const std::string& path) {
    ASSERT_EQ(vbmp3_open(path.c_str(), &info_) & 0xFFFF, 1) << vbmp3::LastErrorNo();
    ASSERT_EQ(vbmp3_play() & 0xFFFF, 1) << vbmp3::LastErrorNo();
  }

  OpenInfoRecord info_{};
};

TEST_F(PlayTest, PositionFollowsTheClock) {
  REQUIRE_FIXTURE(path, "pcm16_stereo.wav");
  const auto start = Clock::now();
  OpenAndPlay(path);
  int32_t seconds = -1;
  EXPECT_EQ(vbmp3_getState(&seconds), 1);
  EXPECT_EQ(seconds, 0);
  // When each whole second was first reported.
  double reached[4] = {0, 0, 0, 0};
  ASSERT_TRUE(PollUntil(6.0, [&](int32_t state, int32_t s) {
    if (state == 1 && s >= 1 && s <= 3 && reached[s] == 0) reached[s] = SecondsSince(start);
    return state != 1 || s >= 3;
  }));
  ASSERT_GT(reached[1], 0);
  ASSERT_GT(reached[2], 0);
  ASSERT_GT(reached[3], 0);
  // The position counts sound the device has played, never sound merely
  // queued: it is never ahead of the clock (the device may run 0.1 s ahead).
  for (int s = 1; s <= 3; ++s) EXPECT_GT(reached[s], s - 0.15) << s;
  // The null sink starts slowly, about half a second late, then keeps time:
  // a second of position never takes less than most of a second. A machine
  // too busy to feed the device makes the position lag behind the clock,
  // which is what it should then report; the poll's limit bounds that.
  EXPECT_LT(reached[3], 6.0);
  EXPECT_GT(reached[3] - reached[2], 0.8);
}

TEST_F(PlayTest, EndOfFileIsReported) {
  REQUIRE_FIXTURE(path, "mpeg1_l3.mp3");
  const auto start = Clock::now();
  OpenAndPlay(path);
  int32_t last = 0;
  ASSERT_TRUE(PollUntil(5.0, [&](int32_t state, int32_t s) {
    if (state == 1) last = s;
    return state == 0;
  }));
  const double ended = SecondsSince(start);
  // Two seconds of tone plus the encoder's few milliseconds of padding,
  // and the null sink's slow start.
  EXPECT_GT(ended, 1.9);
  EXPECT_LT(ended, 3.5);
  EXPECT_GE(last, info_.TotalSeconds - 1);
  int32_t seconds = -1;
  EXPECT_EQ(vbmp3_getState(&seconds), 0);
  EXPECT_EQ(seconds, info_.TotalSeconds);
  // Ended, the file can be played again from its start.
  ASSERT_EQ(vbmp3_play() & 0xFFFF, 1);
  EXPECT_EQ(vbmp3_getState(&seconds), 1);
  EXPECT_EQ(seconds, 0);
}

TEST_F(PlayTest, AFlacFilePlaysToItsEnd) {
  REQUIRE_FIXTURE(path, "flac16_stereo.flac");
  const auto start = Clock::now();
  OpenAndPlay(path);
  EXPECT_EQ(vbmp3_getState(nullptr), 1);
  ASSERT_TRUE(PollUntil(5.0, [&](int32_t state, int32_t) { return state == 0; }));
  EXPECT_GT(SecondsSince(start), 1.9);
}

TEST_F(PlayTest, StopEndsAtOnceAndReleasesTheDevice) {
  REQUIRE_FIXTURE(path, "mpeg1_l2.mp2");
  OpenAndPlay(path);
  Sleep(300);
  const auto start = Clock::now();
  vbmp3_stop();
  // Well before the file's two seconds end, however busy the machine.
  EXPECT_LT(SecondsSince(start), 1.2);
  int32_t seconds = -1;
  EXPECT_EQ(vbmp3_getState(&seconds), 0);
  // Released: the device opens again, for this file and for another.
  ASSERT_EQ(vbmp3_play() & 0xFFFF, 1);
  EXPECT_EQ(vbmp3_getState(&seconds), 1);
  vbmp3_stop();
  vbmp3_close();
  REQUIRE_FIXTURE(other, "pcm8_mono.wav");
  OpenAndPlay(other);
  EXPECT_EQ(vbmp3_getState(&seconds), 1);
  vbmp3_close();
  EXPECT_EQ(vbmp3_getState(&seconds), 0);
}

TEST_F(PlayTest, PlayAgainStartsOverAndOpenSwitchesFiles) {
  REQUIRE_FIXTURE(path, "pcm16_stereo.wav");
  OpenAndPlay(path);
  ASSERT_TRUE(PollUntil(3.0, [](int32_t state, int32_t s) { return s >= 1; }));
  ASSERT_EQ(vbmp3_play() & 0xFFFF, 1);
  int32_t seconds = -1;
  EXPECT_EQ(vbmp3_getState(&seconds), 1);
  EXPECT_EQ(seconds, 0);
  // Opening another file while one plays silences the first.
  REQUIRE_FIXTURE(other, "mpeg2_l3.mp3");
  ASSERT_EQ(vbmp3_open(other.c_str(), &info_) & 0xFFFF, 1);
  EXPECT_EQ(vbmp3_getState(&seconds), 0);
  EXPECT_STREQ(info_.Title, "MPEG-2");
  ASSERT_EQ(vbmp3_play() & 0xFFFF, 1);
  EXPECT_EQ(vbmp3_getState(&seconds), 1);
}

TEST_F(PlayTest, APlayingFileCanBeRenamedAndWritten) {
  REQUIRE_FIXTURE(path, "mpeg1_l3.mp3");
  char folder[MAX_PATH];
  ASSERT_GT(GetTempPathA(MAX_PATH, folder), 0u);
  const std::string copy = std::string(folder) + "velnoir-playing.mp3";
  const std::string renamed = std::string(folder) + "velnoir-renamed.mp3";
  DeleteFileA(renamed.c_str());
  ASSERT_TRUE(CopyFileA(path.c_str(), copy.c_str(), FALSE));
  OpenAndPlay(copy);
  // The rename run and the tag editor work on files the user is listening to.
  EXPECT_TRUE(MoveFileA(copy.c_str(), renamed.c_str())) << GetLastError();
  HANDLE h = CreateFileA(renamed.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  int32_t seconds = -1;
  EXPECT_EQ(vbmp3_getState(&seconds), 1);
  vbmp3_close();
  EXPECT_TRUE(DeleteFileA(renamed.c_str()));
  DeleteFileA(copy.c_str());
}

TEST_F(PlayTest, ShutdownWhilePlayingReleasesEverything) {
  REQUIRE_FIXTURE(path, "vbr_l3.mp3");
  OpenAndPlay(path);
  const auto start = Clock::now();
  vbmp3::ShutdownPlayback();
  EXPECT_LT(SecondsSince(start), 1.5);  // the file lasts longer; a busy machine joins slowly
  int32_t seconds = -1;
  EXPECT_EQ(vbmp3_getState(&seconds), 0);
  EXPECT_EQ(vbmp3_play(), 0);
  EXPECT_EQ(vbmp3::LastErrorNo(), VBMP3_ERR_NOTHING_OPEN);
}

// The DLL as the program uses it: the player's exports reached by name, and
// vbmp3_free silencing whatever plays.
TEST_F(PlayTest, TheLibraryPlaysThroughItsExports) {
  REQUIRE_FIXTURE(path, "mpeg2_l2.mp2");
  HMODULE dll = LoadLibraryW(L"VBMP3.dll");
  if (!dll) GTEST_SKIP() << "VBMP3.dll is not built beside the test";
  using Init = int32_t(VBMP3_CALL*)();
  using Open = int32_t(VBMP3_CALL*)(const char*, OpenInfoRecord*);
  using State = int32_t(VBMP3_CALL*)(int32_t*);
  auto init = reinterpret_cast<Init>(GetProcAddress(dll, "vbmp3_init"));
  auto release = reinterpret_cast<Init>(GetProcAddress(dll, "vbmp3_free"));
  auto open = reinterpret_cast<Open>(GetProcAddress(dll, "vbmp3_open"));
  auto play = reinterpret_cast<Init>(GetProcAddress(dll, "vbmp3_play"));
  auto state = reinterpret_cast<State>(GetProcAddress(dll, "vbmp3_getState"));
  auto lastError = reinterpret_cast<Init>(GetProcAddress(dll, "vbmp3_getLastErrorNo"));
  ASSERT_TRUE(init && release && open && play && state && lastError);
  ASSERT_TRUE(GetProcAddress(dll, "vbmp3_stop") && GetProcAddress(dll, "vbmp3_close"));

  ASSERT_EQ(init() & 0xFFFF, 1);
  OpenInfoRecord info{};
  ASSERT_EQ(open(path.c_str(), &info) & 0xFFFF, 1) << lastError();
  EXPECT_EQ(info.TotalSeconds, 2);
  ASSERT_EQ(play() & 0xFFFF, 1) << lastError();
  int32_t seconds = -1;
  EXPECT_EQ(state(&seconds), 1);
  const auto start = Clock::now();
  release();
  // A release that let the file play out would take its two seconds; a busy
  // machine may take a while to join the player's thread, which is no fault.
  EXPECT_LT(SecondsSince(start), 1.5);
  EXPECT_EQ(state(&seconds), 0);
  FreeLibrary(dll);
}

TEST_F(PlayTest, PlayingAHeavyFileCostsLittleProcessorTime) {
  REQUIRE_FIXTURE(path, "cbr320.mp3");
  // PLAYBACK_CPU_SECONDS lengthens the measurement for a closer figure.
  double span = 3.0;
  char wanted[16];
  if (GetEnvironmentVariableA("PLAYBACK_CPU_SECONDS", wanted, sizeof(wanted)) > 0) {
    span = std::min(11.0, std::max(1.0, atof(wanted)));
  }
  auto cpu = [] {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ticks = [](const FILETIME& t) {
      return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return (ticks(kernel) + ticks(user)) / 1e7;
  };
  // Decoding alone, as fast as it goes.
  DecodedAudio audio;
  const auto decodeStart = Clock::now();
  ASSERT_EQ(DecodeFileToMemory(path, audio), 0);
  std::printf("decoded %.1f s of 320 kbps audio in %.3f s\n",
              static_cast<double>(audio.SampleFrames()) / audio.format.nSamplesPerSec,
              SecondsSince(decodeStart));

  OpenAndPlay(path);
  const double cpuStart = cpu();
  const auto start = Clock::now();
  Sleep(static_cast<DWORD>(span * 1000));
  int32_t seconds = -1;
  EXPECT_EQ(vbmp3_getState(&seconds), 1);
  const double used = cpu() - cpuStart;
  const double share = used / SecondsSince(start);
  std::printf("processor time while playing 320 kbps: %.3f s in %.1f s (%.1f%% of one core)\n",
              used, SecondsSince(start), share * 100);
  RecordProperty("cpu_percent", std::to_string(share * 100));
  EXPECT_LT(share, 0.5);
}

}  // namespace
