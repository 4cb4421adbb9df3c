// The frame header reader the ID3v2 reader and the writer's frame list
// share: sizes of every version, 2.4 tags with plain sizes, frames that
// would run past the tag, and flags by name.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "vbmp3/src/id3v2/id3v2_frame_header.h"

namespace {

using vbmp3::Id3v2FrameHeader;

// `header` with `available` bytes of the tag left; the id points into
// bytes kept until the next call.
bool Read(int major, const std::string& header, Id3v2FrameHeader& out, size_t available = 4096) {
  static std::string bytes;
  bytes = header;
  bytes.resize(std::max(available, bytes.size()), 'x');
  return vbmp3::ReadId3v2FrameHeader(reinterpret_cast<const uint8_t*>(bytes.data()), available,
                                     major, out);
}

size_t DataLength(int major, const std::string& header) {
  Id3v2FrameHeader h;
  EXPECT_TRUE(Read(major, header, h)) << major;
  return h.dataLength;
}

TEST(Id3v2FrameHeader, SizesOfEveryVersion) {
  Id3v2FrameHeader h;
  ASSERT_TRUE(Read(2, std::string("TT2\x00\x01\x02", 6), h));
  EXPECT_EQ(h.id, "TT2");
  EXPECT_EQ(h.headerLength, 6u);
  EXPECT_EQ(h.dataLength, 0x0102u);
  // 00 00 02 01: 513 as a plain size, 257 sync-safe.
  const std::string size("\x00\x00\x02\x01", 4);
  EXPECT_EQ(DataLength(3, "TIT2" + size + std::string(2, '\0')), 513u);
  EXPECT_EQ(DataLength(4, "TIT2" + size + std::string(2, '\0')), 257u);
  // A 2.4 size with a top bit set is a writer's plain size.
  EXPECT_EQ(DataLength(4, std::string("TIT2\x00\x00\x00\xC8\x00\x00", 10)), 200u);
  // What the writer puts, the reader reads back.
  EXPECT_EQ(vbmp3::MakeId3v2FrameHeader(4, "TIT2", 200),
            std::string("TIT2\x00\x00\x01\x48\0\0", 10));
  EXPECT_EQ(DataLength(4, vbmp3::MakeId3v2FrameHeader(4, "TIT2", 200)), 200u);
  EXPECT_EQ(DataLength(3, vbmp3::MakeId3v2FrameHeader(3, "TIT2", 200)), 200u);
}

TEST(Id3v2FrameHeader, NoFrameWherePaddingOrTheTagsEndIs) {
  Id3v2FrameHeader h;
  const std::string tenBytes("TIT2\x00\x00\x00\x0A\x00\x00", 10);
  EXPECT_TRUE(Read(3, tenBytes, h, 20));
  EXPECT_FALSE(Read(3, tenBytes, h, 19));  // its data runs one byte past the tag
  EXPECT_FALSE(Read(3, tenBytes, h, 9));   // not even its header fits
  EXPECT_FALSE(Read(3, std::string(10, '\0'), h));
  EXPECT_FALSE(Read(3, std::string("TiT2\x00\x00\x00\x01\x00\x00", 10), h));
  // A plain 2.4 size past the tag ends the walk as well.
  EXPECT_FALSE(Read(4, std::string("TIT2\x00\x00\x00\xC8\x00\x00", 10), h, 209));
}

// The flag each bit of a flag byte sets, from 0x80 down: T(ag alter
// preservation), F(ile alter preservation), R(ead only), G(rouped),
// C(ompressed), E(ncrypted), U(nsynchronised), D(ata length indicator).
std::string FlagsOfEachBit(int major, bool formatByte) {
  std::string out;
  for (int bit = 7; bit >= 0; --bit) {
    const uint8_t b = static_cast<uint8_t>(1 << bit);
    const vbmp3::Id3v2FrameFlags f =
        vbmp3::DecodeId3v2FrameFlags(major, formatByte ? 0 : b, formatByte ? b : 0);
    std::string names;
    const bool set[] = {f.tagAlterPreservation,
                        f.fileAlterPreservation,
                        f.readOnly,
                        f.grouped,
                        f.compressed,
                        f.encrypted,
                        f.unsynchronised,
                        f.dataLengthIndicator};
    for (int i = 0; i < 8; ++i) {
      if (set[i]) names += "TFRGCEUD"[i];
    }
    out += names.empty() ? "." : names;
  }
  return out;
}

TEST(Id3v2FrameHeader, FlagsByNameInEachVersion) {
  EXPECT_EQ(FlagsOfEachBit(3, false), "TFR.....");
  EXPECT_EQ(FlagsOfEachBit(3, true), "CEG.....");
  EXPECT_EQ(FlagsOfEachBit(4, false), ".TFR....");
  EXPECT_EQ(FlagsOfEachBit(4, true), ".G..CEUD");
  EXPECT_EQ(FlagsOfEachBit(2, true), "........");
  Id3v2FrameHeader h;
  ASSERT_TRUE(Read(4, std::string("TIT2\0\0\0\0\x10\x0C", 10), h));
  EXPECT_TRUE(h.flags.readOnly && h.flags.Unreadable());
  EXPECT_EQ(h.flagBytes[0], 0x10);
  EXPECT_EQ(h.flagBytes[1], 0x0C);
}

}  // namespace
