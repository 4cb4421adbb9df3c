// The FLAC comment writer on files built block by block: in place in the
// comment's room and its padding, anew when that is too small, a comment
// block added where there was none, and damage refused unchanged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vbmp3/src/flac/flac_comment_write.h"
#include "vbmp3/src/flac/flac_file.h"
#include "vbmp3/src/flac/flac_metadata.h"

namespace vbmp3 {
namespace {

using Bytes = std::vector<uint8_t>;

void Block(Bytes& out, uint8_t type, const Bytes& body, bool last = false) {
  out.push_back(static_cast<uint8_t>((last ? 0x80 : 0) | type));
  out.push_back(static_cast<uint8_t>(body.size() >> 16));
  out.push_back(static_cast<uint8_t>(body.size() >> 8));
  out.push_back(static_cast<uint8_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
}

Bytes Comment(const std::vector<std::string>& fields) {
  Bytes c = {3, 0, 0, 0, 'v', 'e', 'n'};
  c.insert(c.end(), {static_cast<uint8_t>(fields.size()), 0, 0, 0});
  for (const std::string& f : fields) {
    c.insert(c.end(), {static_cast<uint8_t>(f.size()), 0, 0, 0});
    c.insert(c.end(), f.begin(), f.end());
  }
  return c;
}

// 44.1 kHz stereo 16-bit, 441,000 samples; the "frames" are bytes no
// reader decodes here.
const Bytes kFrames = {0xFF, 0xF8, 1, 2, 3, 4, 5, 6, 7, 8};

Bytes StreamInfo() {
  return {0x10, 0, 0x10, 0, 0, 0, 0, 0, 0, 0, 0x0A, 0xC4, 0x42, 0xF0, 0, 0x06, 0xBA,
          0xA8, 0, 0,    0, 0, 0, 0, 0, 0, 0, 0,    0,    0,    0,    0, 0,    0};
}

Bytes FlacFile(const Bytes* comment, size_t padding, const Bytes& picture = {}) {
  Bytes f = {'f', 'L', 'a', 'C'};
  Block(f, kFlacStreamInfo, StreamInfo());
  if (comment) Block(f, kFlacVorbisComment, *comment);
  if (padding) Block(f, kFlacPadding, Bytes(padding, 0), picture.empty());
  if (!picture.empty()) Block(f, kFlacPicture, picture, true);
  f.insert(f.end(), kFrames.begin(), kFrames.end());
  return f;
}

FormatTexts Read(const Bytes& bytes) {
  MemoryFile file(bytes);
  AudioProperties p;
  FormatTexts t;
  EXPECT_TRUE(ReadFlacFile(file, p, t));
  return t;
}

bool EndsWithTheFrames(const Bytes& b) {
  return b.size() >= kFrames.size() && Bytes(b.end() - kFrames.size(), b.end()) == kFrames;
}

TEST(FlacWrite, AChangeThatFitsThePaddingIsWrittenInPlace) {
  const Bytes comment = Comment({"TITLE=old", "ARTIST=a", "ARTIST=b", "DESCRIPTION=d"});
  const Bytes before = FlacFile(&comment, 100);
  MemoryFile file(before);
  FormatTextChanges changes;
  changes.title = "新しい題名";
  bool replaced = true;
  ASSERT_EQ(WriteFlacTexts(
                file, changes, [] { return nullptr; }, replaced),
            0);
  EXPECT_FALSE(replaced);
  EXPECT_EQ(file.Bytes().size(), before.size());
  const FormatTexts t = Read(file.Bytes());
  EXPECT_EQ(t.title, "新しい題名");
  EXPECT_EQ(t.artist, "a; b");
  EXPECT_EQ(t.comment, "d");
  EXPECT_TRUE(EndsWithTheFrames(file.Bytes()));
}

TEST(FlacWrite, AChangeTooLargeForTheRoomWritesTheFileAnewKeepingEveryOtherBlock) {
  const Bytes comment = Comment({"TITLE=old"});
  const Bytes picture(300, 0x5A);
  const Bytes before = FlacFile(&comment, 0, picture);
  MemoryFile file(before), anew;
  FormatTextChanges changes;
  changes.title = std::string(600, 'x');
  changes.album = "盤";
  bool replaced = false;
  ASSERT_EQ(WriteFlacTexts(
                file, changes, [&]() -> RandomAccessFile* { return &anew; }, replaced),
            0);
  EXPECT_TRUE(replaced);
  EXPECT_EQ(file.Bytes(), before);  // the original waits for the commit
  EXPECT_EQ(Read(anew.Bytes()).title, std::string(600, 'x'));
  EXPECT_EQ(Read(anew.Bytes()).album, "盤");
  EXPECT_TRUE(EndsWithTheFrames(anew.Bytes()));
  FlacMetadata m;
  ASSERT_TRUE(ReadFlacMetadata(anew, m));
  ASSERT_EQ(m.blocks.size(), 4u);
  EXPECT_EQ(m.blocks[2].type, kFlacPicture);
  EXPECT_EQ(m.blocks[3].type, kFlacPadding);
  EXPECT_EQ(m.blocks[3].length, kFlacNewPadding);
  Bytes kept;
  ASSERT_TRUE(ReadFlacBlockBody(anew, m.blocks[2], kept));
  EXPECT_EQ(kept, picture);
}

TEST(FlacWrite, AFileWithoutACommentGetsOneAfterItsStreamInfo) {
  const Bytes before = FlacFile(nullptr, 40);
  MemoryFile file(before), anew;
  FormatTextChanges changes;
  changes.artist = "A; B";
  bool replaced = false;
  ASSERT_EQ(WriteFlacTexts(
                file, changes, [&]() -> RandomAccessFile* { return &anew; }, replaced),
            0);
  FlacMetadata m;
  ASSERT_TRUE(ReadFlacMetadata(anew, m));
  EXPECT_EQ(m.blocks[1].type, kFlacVorbisComment);
  EXPECT_EQ(Read(anew.Bytes()).artist, "A; B");
}

TEST(FlacWrite, DamageAndEveryTruncationAreRefusedUnchanged) {
  const Bytes comment = Comment({"TITLE=old"});
  const Bytes whole = FlacFile(&comment, 0);
  FormatTextChanges changes;
  changes.title = "t";
  const size_t metadataEnd = whole.size() - kFrames.size();
  for (size_t n = 0; n < metadataEnd; ++n) {
    const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
    MemoryFile file(cut), anew;
    bool replaced = false;
    EXPECT_NE(WriteFlacTexts(
                  file, changes, [&]() -> RandomAccessFile* { return &anew; }, replaced),
              0)
        << n;
    EXPECT_FALSE(replaced);
    EXPECT_EQ(file.Bytes(), cut);
  }
}

}  // namespace
}  // namespace vbmp3
