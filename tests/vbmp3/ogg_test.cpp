#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vbmp3/src/ogg/ogg_file.h"
#include "vbmp3/src/ogg/ogg_packets.h"
#include "vbmp3/src/ogg/ogg_page.h"

namespace vbmp3 {
namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

std::vector<uint8_t> OpusTags(const std::vector<std::string>& fields, uint32_t count) {
  std::vector<uint8_t> p = {'O', 'p', 'u', 's', 'T', 'a', 'g', 's'};
  Put32(p, 3);
  p.insert(p.end(), {'r', 'e', 'f'});
  Put32(p, count);
  for (const std::string& f : fields) {
    Put32(p, static_cast<uint32_t>(f.size()));
    p.insert(p.end(), f.begin(), f.end());
  }
  return p;
}

// Lays packets on pages of at most `segmentsPerPage` lacing values.
void AppendPackets(std::vector<uint8_t>& file, uint32_t& sequence, uint64_t granule,
                   const std::vector<uint8_t>& packet, size_t segmentsPerPage, uint8_t flags) {
  std::vector<uint8_t> lacing = LacingForPacket(packet.size());
  size_t at = 0, bodyAt = 0;
  while (at < lacing.size()) {
    OggPage page;
    page.serial = 0x1234;
    page.sequence = sequence++;
    page.flags = static_cast<uint8_t>(at > 0 ? kOggContinued : flags);
    const size_t n = std::min(segmentsPerPage, lacing.size() - at);
    page.lacing.assign(lacing.begin() + at, lacing.begin() + at + n);
    size_t bytes = 0;
    for (uint8_t l : page.lacing) bytes += l;
    page.body.assign(packet.begin() + bodyAt, packet.begin() + bodyAt + bytes);
    at += n;
    bodyAt += bytes;
    page.granule = at == lacing.size() ? granule : ~uint64_t{0};
    std::vector<uint8_t> bytesOut = SerializeOggPage(page);
    file.insert(file.end(), bytesOut.begin(), bytesOut.end());
  }
}

std::vector<uint8_t> OpusFile(const std::vector<uint8_t>& tags) {
  std::vector<uint8_t> head = {'O', 'p', 'u', 's', 'H', 'e', 'a', 'd', 1, 2, 0x38, 0x01};
  Put32(head, 44100);
  head.insert(head.end(), {0, 0, 0});
  std::vector<uint8_t> file;
  uint32_t sequence = 0;
  AppendPackets(file, sequence, 0, head, 255, kOggFirstPage);
  AppendPackets(file, sequence, 0, tags, 4, 0);  // the tag across several pages
  AppendPackets(file, sequence, 312 + 48000 * 3, std::vector<uint8_t>(500, 7), 255, kOggLastPage);
  return file;
}

TEST(Ogg, OpusTagAcrossPagesGivesTextsAndLength) {
  const std::string title(2000, 'T');
  MemoryFile file(OpusFile(OpusTags({"TITLE=" + title, "artist=A", "ARTIST=B"}, 3)));
  AudioProperties p;
  FormatTexts t;
  ASSERT_TRUE(ReadOggFile(file, p, t));
  EXPECT_EQ(p.format, "Opus");
  EXPECT_EQ(p.channels, 2);
  EXPECT_EQ(p.samplingRate, 48000);
  EXPECT_DOUBLE_EQ(p.seconds, 3.0);
  EXPECT_EQ(t.title, title);
  EXPECT_EQ(t.artist, "A; B");
  EXPECT_GT(p.audioBytes, 500u);
  EXPECT_LT(p.audioBytes, 600u);
}

TEST(Ogg, DamagedFilesAreRefusedWithoutCrashing) {
  std::vector<uint8_t> good = OpusFile(OpusTags({"TITLE=x"}, 1));
  std::vector<uint8_t> badCrc = good;
  badCrc[good.size() - 520] ^= 0x40;  // inside the audio page: the length is lost, not the tag
  MemoryFile crcFile(badCrc);
  AudioProperties p;
  FormatTexts t;
  ASSERT_TRUE(ReadOggFile(crcFile, p, t));
  EXPECT_EQ(t.title, "x");
  EXPECT_EQ(p.seconds, 0);

  MemoryFile hugeCount(OpusFile(OpusTags({"TITLE=x"}, 0xFFFFFFFFu)));
  EXPECT_FALSE(ReadOggFile(hugeCount, p, t));

  for (size_t n = 0; n < good.size(); ++n) {
    MemoryFile cut(std::vector<uint8_t>(good.begin(), good.begin() + n));
    ReadOggFile(cut, p, t);
  }
}

TEST(Ogg, TagPageWithBadCrcIsDamage) {
  std::vector<uint8_t> file = OpusFile(OpusTags({"TITLE=x"}, 1));
  file[60] ^= 1;  // inside the second page, the tag's first
  MemoryFile memory(file);
  AudioProperties p;
  FormatTexts t;
  EXPECT_FALSE(ReadOggFile(memory, p, t));
}

}  // namespace
}  // namespace vbmp3
