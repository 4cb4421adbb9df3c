// An Ogg write that must grow the file, killed at random steps: afterwards
// the file is the old one or the new one, whole.
#include <gtest/gtest.h>

#include "tests/vbmp3/format_write_kill.h"
#include "vbmp3/src/ogg/ogg_comment_write.h"
#include "vbmp3/src/ogg/ogg_packets.h"
#include "vbmp3/src/ogg/ogg_page.h"

namespace {

using Bytes = std::vector<uint8_t>;

void AddPage(Bytes& file, uint32_t sequence, uint8_t flags, const std::vector<Bytes>& packets) {
  vbmp3::OggPage page;
  page.serial = 77;
  page.sequence = sequence;
  page.flags = flags;
  page.granule = 1000u * sequence;
  for (const Bytes& p : packets) {
    const Bytes lacing = vbmp3::LacingForPacket(p.size());
    page.lacing.insert(page.lacing.end(), lacing.begin(), lacing.end());
    page.body.insert(page.body.end(), p.begin(), p.end());
  }
  const Bytes bytes = vbmp3::SerializeOggPage(page);
  file.insert(file.end(), bytes.begin(), bytes.end());
}

// An Opus stream without room in its tag and 1.6 MB of audio pages.
Bytes OpusFile() {
  Bytes file;
  AddPage(file, 0, vbmp3::kOggFirstPage,
          {{'O', 'p', 'u', 's', 'H', 'e', 'a', 'd', 1, 2, 0, 0, 0x80, 0xBB, 0, 0, 0, 0, 0}});
  AddPage(file, 1, 0, {{'O', 'p', 'u', 's', 'T', 'a', 'g', 's', 1, 0, 0, 0, 'v', 0, 0, 0, 0}});
  for (uint32_t s = 2; s < 400; ++s)
    AddPage(file, s, s == 399 ? vbmp3::kOggLastPage : 0, {Bytes(4000, static_cast<uint8_t>(s))});
  return file;
}

TEST(OggWriteKill, AGrowingWriteKilledAnywhereLeavesTheOldFileOrTheNewOne) {
  format_write_kill::KillAtRandomSteps("song.opus", OpusFile(), &vbmp3::WriteOggTexts);
}

}  // namespace
