#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vbmp3/src/flac/flac_file.h"
#include "vbmp3/src/flac/flac_metadata.h"

namespace vbmp3 {
namespace {

using Bytes = std::vector<uint8_t>;

void PutLE32(Bytes& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutBlock(Bytes& out, uint8_t type, bool last, const Bytes& body) {
  const uint32_t n = static_cast<uint32_t>(body.size());
  out.insert(out.end(),
             {static_cast<uint8_t>(type | (last ? 0x80 : 0)), static_cast<uint8_t>(n >> 16),
              static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)});
  out.insert(out.end(), body.begin(), body.end());
}

// 44.1 kHz, stereo, 16 bits, 3 seconds.
Bytes StreamInfo() {
  Bytes b = {0x10, 0x00, 0x10, 0x00, 0, 0, 0, 0, 0, 0};
  const uint64_t samples = 44100 * 3;
  b.push_back(static_cast<uint8_t>(44100 >> 12));
  b.push_back(static_cast<uint8_t>(44100 >> 4));
  b.push_back(static_cast<uint8_t>(((44100 & 0x0F) << 4) | (1 << 1) | 0));
  b.push_back(static_cast<uint8_t>((15 << 4) | (samples >> 32)));
  for (int shift = 24; shift >= 0; shift -= 8) b.push_back(static_cast<uint8_t>(samples >> shift));
  b.resize(34, 0xAB);
  return b;
}

Bytes Comment(const std::vector<std::string>& fields, uint32_t count) {
  Bytes b;
  PutLE32(b, 3);
  b.insert(b.end(), {'r', 'e', 'f'});
  PutLE32(b, count);
  for (const std::string& f : fields) {
    PutLE32(b, static_cast<uint32_t>(f.size()));
    b.insert(b.end(), f.begin(), f.end());
  }
  return b;
}

const Bytes kFrames(1000, 0x5A);

Bytes FlacFile(const Bytes& comment, bool withComment = true) {
  Bytes f = {'f', 'L', 'a', 'C'};
  PutBlock(f, kFlacStreamInfo, false, StreamInfo());
  PutBlock(f, kFlacSeekTable, false, Bytes(18, 0xFF));
  if (withComment) PutBlock(f, kFlacVorbisComment, false, comment);
  PutBlock(f, kFlacPadding, true, Bytes(64, 0));
  f.insert(f.end(), kFrames.begin(), kFrames.end());
  return f;
}

bool Read(const Bytes& bytes, AudioProperties& p, FormatTexts& t) {
  MemoryFile file(bytes);
  return ReadFlacFile(file, p, t);
}

TEST(Flac, FiguresAndTextsBehindTwoId3v2Tags) {
  const Bytes body =
      FlacFile(Comment({"TITLE=題名", "artist=A", "ARTIST=B", "DATE=2001-02-03"}, 4));
  Bytes file = {'I', 'D', '3', 4, 0, 0x10, 0, 0, 0, 5, 1, 2, 3, 4, 5};  // with a footer
  file.insert(file.end(), {'3', 'D', 'I', 4, 0, 0x10, 0, 0, 0, 5});
  file.insert(file.end(), {'I', 'D', '3', 3, 0, 0, 0, 0, 1, 0});  // 128 bytes of body
  file.resize(file.size() + 128, 0);
  file.insert(file.end(), body.begin(), body.end());
  Bytes id3v1 = {'T', 'A', 'G'};
  id3v1.resize(128, ' ');
  file.insert(file.end(), id3v1.begin(), id3v1.end());
  AudioProperties p;
  FormatTexts t;
  ASSERT_TRUE(Read(file, p, t));
  EXPECT_EQ(p.format, "FLAC");
  EXPECT_EQ(p.channels, 2);
  EXPECT_EQ(p.samplingRate, 44100);
  EXPECT_EQ(p.bitsPerSample, 16);
  EXPECT_DOUBLE_EQ(p.seconds, 3.0);
  EXPECT_EQ(p.audioBytes, kFrames.size());
  EXPECT_EQ(t.title, "題名");
  EXPECT_EQ(t.artist, "A; B");
  EXPECT_EQ(t.year, "2001");
}

TEST(Flac, NoCommentBlockGivesFiguresWithEmptyTexts) {
  AudioProperties p;
  FormatTexts t;
  t.title = "left over";
  ASSERT_TRUE(Read(FlacFile({}, false), p, t));
  EXPECT_EQ(p.samplingRate, 44100);
  EXPECT_EQ(t.title, "");
  EXPECT_EQ(p.audioBytes, kFrames.size());
}

TEST(Flac, CutInTheAudioStillReadsButCutInTheMetadataDoesNot) {
  const Bytes whole = FlacFile(Comment({"TITLE=t"}, 1));
  const size_t metadataEnd = whole.size() - kFrames.size();
  AudioProperties p;
  FormatTexts t;
  EXPECT_TRUE(Read(Bytes(whole.begin(), whole.begin() + metadataEnd), p, t));
  EXPECT_EQ(p.audioBytes, 0u);
  EXPECT_EQ(t.title, "t");
  EXPECT_FALSE(Read(Bytes(whole.begin(), whole.begin() + metadataEnd - 1), p, t));
}

TEST(Flac, DamagedMetadataIsRefused) {
  AudioProperties p;
  FormatTexts t;
  // A comment count of 2^32-1 with one field behind it.
  EXPECT_FALSE(Read(FlacFile(Comment({"TITLE=t"}, 0xFFFFFFFFu)), p, t));
  // A block length past the end of the file.
  Bytes file = FlacFile(Comment({}, 0));
  file[4 + 4 + 34 + 1] = 0xFF;  // the seek table's length
  EXPECT_FALSE(Read(file, p, t));
  // STREAMINFO not first.
  Bytes swapped = {'f', 'L', 'a', 'C'};
  PutBlock(swapped, kFlacPadding, false, Bytes(4, 0));
  PutBlock(swapped, kFlacStreamInfo, true, StreamInfo());
  EXPECT_FALSE(Read(swapped, p, t));
  // A STREAMINFO too short, and one with a sample rate of 0.
  Bytes shortInfo = {'f', 'L', 'a', 'C'};
  Bytes info = StreamInfo();
  info.pop_back();
  PutBlock(shortInfo, kFlacStreamInfo, true, info);
  EXPECT_FALSE(Read(shortInfo, p, t));
  Bytes noRate = FlacFile({}, false);
  noRate[8 + 10] = noRate[8 + 11] = 0;
  noRate[8 + 12] &= 0x0F;
  EXPECT_FALSE(Read(noRate, p, t));
  // The invalid block type, and an ID3v2 size that is not sync-safe.
  Bytes invalid = FlacFile(Comment({}, 0));
  invalid[4 + 4 + 34] = kFlacInvalidType;
  EXPECT_FALSE(Read(invalid, p, t));
  Bytes badTag = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 0x80};
  const Bytes body = FlacFile({}, false);
  badTag.insert(badTag.end(), body.begin(), body.end());
  EXPECT_FALSE(Read(badTag, p, t));
}

TEST(Flac, EveryTruncationIsSafe) {
  Bytes file = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 2, 0, 0};
  const Bytes body = FlacFile(Comment({"TITLE=t", "ARTIST=a"}, 2));
  file.insert(file.end(), body.begin(), body.end());
  for (size_t n = 0; n <= file.size(); ++n) {
    AudioProperties p;
    FormatTexts t;
    const bool ok = Read(Bytes(file.begin(), file.begin() + n), p, t);
    EXPECT_EQ(ok, n >= file.size() - kFrames.size()) << n;
  }
}

}  // namespace
}  // namespace vbmp3
