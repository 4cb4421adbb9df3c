// An MP4 tag write that must move the moov, killed at random steps: the
// file is the old one or the new one, whole. The step hook stops the child
// at each block copied, after the moov, before and after the new file takes
// the old one's place.
#include <gtest/gtest.h>

#include "tests/vbmp3/format_write_kill.h"
#include "tests/vbmp3/synth.h"
#include "vbmp3/src/mp4/mp4_write.h"

namespace {

using synth::Bytes;
using synth::Mp4Box;

// ftyp, a moov with no tag and one chunk at the start of the mdat, then
// 1.5 MB of samples (six blocks to copy).
Bytes Mp4File() {
  const Bytes ftyp = Mp4Box("ftyp", {'M', '4', 'A', ' ', 0, 0, 0, 0});
  auto moov = [](uint32_t chunk) {
    const Bytes stco =
        Mp4Box("stco", {0, 0, 0, 0, 0, 0, 0, 1, static_cast<uint8_t>(chunk >> 24),
                        static_cast<uint8_t>(chunk >> 16), static_cast<uint8_t>(chunk >> 8),
                        static_cast<uint8_t>(chunk)});
    return Mp4Box("moov", Mp4Box("trak", Mp4Box("mdia", Mp4Box("minf", Mp4Box("stbl", stco)))));
  };
  Bytes samples(1500000);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<uint8_t>(i * 31 + i / 977);
  const uint32_t chunk = static_cast<uint32_t>(ftyp.size() + moov(0).size() + 8);
  return synth::Join({ftyp, moov(chunk), Mp4Box("mdat", samples)});
}

TEST(Mp4WriteKill, AMovingWriteKilledAnywhereLeavesTheOldFileOrTheNewOne) {
  format_write_kill::KillAtRandomSteps("song.m4a", Mp4File(), &vbmp3::WriteMp4Texts);
}

}  // namespace
