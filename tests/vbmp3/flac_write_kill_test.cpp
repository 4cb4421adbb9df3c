// A FLAC tag write that must write the file anew (no padding left),
// killed at random steps: the file is the old one or the new one, whole.
#include <gtest/gtest.h>

#include "tests/vbmp3/format_write_kill.h"
#include "vbmp3/src/flac/flac_comment_write.h"

namespace {

using Bytes = std::vector<uint8_t>;

void AddBlock(Bytes& out, uint8_t type, const Bytes& body, bool last) {
  out.push_back(static_cast<uint8_t>((last ? 0x80 : 0) | type));
  out.push_back(static_cast<uint8_t>(body.size() >> 16));
  out.push_back(static_cast<uint8_t>(body.size() >> 8));
  out.push_back(static_cast<uint8_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
}

// STREAMINFO, a comment with no room to grow, and 1.5 MB of frame bytes
// (six blocks to copy).
Bytes FlacFile() {
  Bytes file = {'f', 'L', 'a', 'C'};
  AddBlock(file, 0, {0x10, 0, 0x10, 0, 0, 0, 0, 0, 0, 0, 0x0A, 0xC4, 0x42, 0xF0, 0, 0, 0,
                     0,    0, 0,    0, 0, 0, 0, 0, 0, 0, 0,    0,    0,    0,    0, 0, 0},
           false);
  AddBlock(file, 4, {1, 0, 0, 0, 'v', 0, 0, 0, 0}, true);
  for (size_t i = 0; i < 1500000; ++i) file.push_back(static_cast<uint8_t>(i * 31 + i / 977));
  return file;
}

TEST(FlacWriteKill, AGrowingWriteKilledAnywhereLeavesTheOldFileOrTheNewOne) {
  format_write_kill::KillAtRandomSteps("song.flac", FlacFile(), &vbmp3::WriteFlacTexts);
}

}  // namespace
