#include "vbmp3/src/ogg/xiph_comment.h"

#include <gtest/gtest.h>

namespace vbmp3 {
namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

std::vector<uint8_t> Block(const std::string& vendor, const std::vector<std::string>& fields) {
  std::vector<uint8_t> out;
  Put32(out, static_cast<uint32_t>(vendor.size()));
  out.insert(out.end(), vendor.begin(), vendor.end());
  Put32(out, static_cast<uint32_t>(fields.size()));
  for (const std::string& f : fields) {
    Put32(out, static_cast<uint32_t>(f.size()));
    out.insert(out.end(), f.begin(), f.end());
  }
  return out;
}

TEST(XiphComment, FieldsGiveTheProgramsTextsWhole) {
  const std::string longTitle(300, 'x');
  auto block = Block("ref", {"title=" + longTitle, "ARTIST=A", "Artist=B", "DATE=2001-02-03",
                             "YEAR=1999", "DESCRIPTION=d", "genre=Rock", "TRACKNUMBER=3/12",
                             "ALBUMARTIST=V", "DISCNUMBER=2/3", "no equals sign"});
  XiphComment comment;
  ASSERT_TRUE(ParseXiphComment(block.data(), block.size(), comment));
  EXPECT_EQ(comment.vendor, "ref");
  EXPECT_EQ(comment.fields.size(), 10u);
  FormatTexts t = TextsFromXiphComment(comment);
  EXPECT_EQ(t.title, longTitle);
  EXPECT_EQ(t.artist, "A; B");
  EXPECT_EQ(t.year, "2001");
  EXPECT_EQ(t.comment, "d");
  EXPECT_EQ(t.genre, "Rock");
  EXPECT_EQ(t.track, "3/12");
  EXPECT_EQ(t.albumArtist, "V");
  EXPECT_EQ(t.disc, "2/3");
  auto noDate = Block("", {"YEAR=Spring 99"});
  ASSERT_TRUE(ParseXiphComment(noDate.data(), noDate.size(), comment));
  EXPECT_EQ(TextsFromXiphComment(comment).year, "Spring 99");
}

TEST(XiphComment, DamagedBlocksAreRefusedWithoutAllocatingForThem) {
  auto block = Block("v", {"A=1"});
  XiphComment comment;
  for (size_t cut = 0; cut < block.size(); ++cut)
    EXPECT_FALSE(ParseXiphComment(block.data(), cut, comment)) << cut;
  std::vector<uint8_t> huge;
  Put32(huge, 0);
  Put32(huge, 0xFFFFFFFFu);  // a count of 2^32-1 fields in eight bytes
  EXPECT_FALSE(ParseXiphComment(huge.data(), huge.size(), comment));
  std::vector<uint8_t> longVendor;
  Put32(longVendor, 0xFFFFFFF0u);
  EXPECT_FALSE(ParseXiphComment(longVendor.data(), longVendor.size(), comment));
}

}  // namespace
}  // namespace vbmp3
