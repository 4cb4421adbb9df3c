// Writing changed boxes into Ogg Vorbis and Opus files built here: the
// comment structure's fields, the header pages laid out anew or written in
// place, the audio pages kept, and the files refused unchanged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/ogg/codec_headers.h"
#include "vbmp3/src/ogg/ogg_comment_write.h"
#include "vbmp3/src/ogg/ogg_file.h"
#include "vbmp3/src/ogg/ogg_packets.h"
#include "vbmp3/src/ogg/ogg_page.h"
#include "vbmp3/src/ogg/xiph_comment_edit.h"

namespace vbmp3 {
namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

Bytes Structure(const std::vector<std::string>& fields) {
  Bytes out;
  const std::string vendor = "ref lib";
  Put32(out, static_cast<uint32_t>(vendor.size()));
  out.insert(out.end(), vendor.begin(), vendor.end());
  Put32(out, static_cast<uint32_t>(fields.size()));
  for (const std::string& f : fields) {
    Put32(out, static_cast<uint32_t>(f.size()));
    out.insert(out.end(), f.begin(), f.end());
  }
  return out;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Lays the packets one after another on pages of at most `segments`
// lacing values, the last page ending with the last packet.
void AddPages(Bytes& file, uint32_t& sequence, const std::vector<Bytes>& packets, size_t segments,
              uint8_t flags, uint64_t granule, uint32_t serial = 0x1234) {
  Bytes lacing, body;
  for (const Bytes& p : packets) {
    const Bytes l = LacingForPacket(p.size());
    lacing.insert(lacing.end(), l.begin(), l.end());
    body.insert(body.end(), p.begin(), p.end());
  }
  for (size_t at = 0, bodyAt = 0; at < lacing.size();) {
    OggPage page;
    page.serial = serial;
    page.sequence = sequence++;
    page.flags = static_cast<uint8_t>(at > 0 ? (lacing[at - 1] == 255 ? kOggContinued : 0) : flags);
    const size_t n = std::min(segments, lacing.size() - at);
    page.lacing.assign(lacing.begin() + at, lacing.begin() + at + n);
    page.granule = ~uint64_t{0};
    size_t bytes = 0;
    for (uint8_t l : page.lacing) {
      bytes += l;
      if (l < 255) page.granule = granule;
    }
    page.body.assign(body.begin() + bodyAt, body.begin() + bodyAt + bytes);
    at += n;
    bodyAt += bytes;
    const Bytes out = SerializeOggPage(page);
    file.insert(file.end(), out.begin(), out.end());
  }
}

Bytes Audio(uint32_t& sequence, uint32_t serial = 0x1234) {
  Bytes file;
  for (int p = 0; p < 6; ++p)
    AddPages(file, sequence, {Bytes(700 + p, static_cast<uint8_t>(p)), Bytes(90, 1)}, 255,
             p == 5 ? kOggLastPage : 0, 1000u * (p + 1), serial);
  return file;
}

// `emptyPage`: a page without segments between the identification page
// and the comment's.
Bytes VorbisFile(const Bytes& comment, size_t segments = 255, bool emptyPage = false) {
  Bytes id = Join({{1}, Text("vorbis"), Bytes(4, 0), {2}});
  Put32(id, 44100);
  id.resize(30, 0);
  const Bytes setup = Join({{5}, Text("vorbis"), Bytes(900, 0x5A)});
  Bytes file;
  uint32_t sequence = 0;
  AddPages(file, sequence, {id}, 255, kOggFirstPage, 0);
  if (emptyPage) {
    OggPage empty;
    empty.serial = 0x1234;
    empty.sequence = sequence++;
    empty.granule = ~uint64_t{0};
    const Bytes bytes = SerializeOggPage(empty);
    file.insert(file.end(), bytes.begin(), bytes.end());
  }
  AddPages(file, sequence, {comment, setup}, segments, 0, 0);
  return Join({file, Audio(sequence)});
}

Bytes VorbisComment(const std::vector<std::string>& fields, const Bytes& after = {1}) {
  return Join({{3}, Text("vorbis"), Structure(fields), after});
}

Bytes OpusFile(const Bytes& tags) {
  Bytes head = Join({Text("OpusHead"), {1, 2, 0x38, 0x01}});
  Put32(head, 48000);
  head.insert(head.end(), {0, 0, 0});
  Bytes file;
  uint32_t sequence = 0;
  AddPages(file, sequence, {head}, 255, kOggFirstPage, 0);
  AddPages(file, sequence, {tags}, 16, 0, 0);
  return Join({file, Audio(sequence)});
}

struct Pages {
  std::vector<uint64_t> granules;
  bool numbered = true;  // every page good, one serial, sequences 0, 1, 2...
};

Pages PagesOf(const Bytes& file) {
  Pages pages;
  size_t at = 0;
  for (uint32_t n = 0; at < file.size(); ++n) {
    OggPage page;
    size_t size = 0;
    if (ParseOggPage(file.data() + at, file.size() - at, page, size) != OggPageStatus::Ok ||
        page.sequence != n || page.serial != 0x1234) {
      pages.numbered = false;
      return pages;
    }
    pages.granules.push_back(page.granule);
    at += size;
  }
  return pages;
}

std::vector<Bytes> PacketsOf(const Bytes& bytes) {
  MemoryFile file(bytes);
  OggPacketReader reader(file);
  std::vector<Bytes> packets;
  for (Bytes p; reader.NextPacket(p, 1 << 24);) packets.push_back(p);
  return packets;
}

int32_t Write(MemoryFile& file, const FormatTextChanges& changes, MemoryFile& anew,
              bool& replaced) {
  return WriteOggTexts(
      file, changes, [&]() -> RandomAccessFile* { return &anew; }, replaced);
}

std::vector<std::pair<std::string, std::string>> FieldsOf(const Bytes& comment, size_t magic) {
  XiphComment c;
  EXPECT_TRUE(ParseXiphComment(comment.data() + magic, comment.size() - magic, c));
  EXPECT_EQ(c.vendor, "ref lib");
  return c.fields;
}

using Fields = std::vector<std::pair<std::string, std::string>>;

TEST(XiphCommentEdit, OnlyChangedFieldsChangeAndKeepTheirPlace) {
  const Bytes old = Structure({"title=Old", "ARTIST=A", "no equals", "Title=Old 2", "GENRE=Rock",
                               "DESCRIPTION=d", "ARTIST=B"});
  FormatTextChanges changes;
  changes.title = "New; 二つ目 🎵";
  changes.genre = "";
  changes.comment = "c";
  Bytes out;
  size_t consumed = 0;
  ASSERT_TRUE(EditXiphComment(old.data(), old.size(), changes, out, consumed));
  EXPECT_EQ(consumed, old.size());
  EXPECT_EQ(out, Structure({"title=New", "title=二つ目 🎵", "ARTIST=A", "no equals", "DESCRIPTION=d",
                            "ARTIST=B", "COMMENT=c"}));
  changes = {};
  changes.artist = "; ";
  ASSERT_TRUE(EditXiphComment(old.data(), old.size(), changes, out, consumed));
  EXPECT_EQ(out, Structure({"title=Old", "ARTIST=", "ARTIST=", "no equals", "Title=Old 2",
                            "GENRE=Rock", "DESCRIPTION=d"}));
  Bytes damaged = old;
  damaged[damaged.size() - 9] = 0xFF;  // the last field's length runs past the end
  EXPECT_FALSE(EditXiphComment(damaged.data(), damaged.size(), changes, out, consumed));
}

TEST(OggWrite, VorbisCommentGrowsIntoNewPagesAndTheAudioPagesFollowRenumbered) {
  const Bytes comment = VorbisComment({"TITLE=Old", "ALBUM=Al", "TRACKNUMBER=3"});
  const Bytes original = VorbisFile(comment, 2);  // comment and setup share pages
  MemoryFile file(original), anew;
  FormatTextChanges changes;
  changes.title = std::string(20000, 'T');
  changes.year = "2024";
  bool replaced = false;
  ASSERT_EQ(Write(file, changes, anew, replaced), 0);
  ASSERT_TRUE(replaced);
  EXPECT_EQ(file.Bytes(), original);
  AudioProperties p;
  FormatTexts t;
  ASSERT_TRUE(ReadOggFile(anew, p, t));
  EXPECT_EQ(t.title, *changes.title);
  EXPECT_EQ(t.year, "2024");
  const std::vector<Bytes> before = PacketsOf(original), after = PacketsOf(anew.Bytes());
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(
      FieldsOf(after[1], 7),
      (Fields{{"TITLE", *changes.title}, {"ALBUM", "Al"}, {"TRACKNUMBER", "3"}, {"DATE", "2024"}}));
  EXPECT_EQ(after[1][after[1].size() - kNewCommentPadding - 1], 1);  // the framing bit
  for (size_t k = 2; k < before.size(); ++k) EXPECT_EQ(after[k], before[k]) << k;
  const Pages old = PagesOf(original), now = PagesOf(anew.Bytes());
  ASSERT_TRUE(old.numbered && now.numbered);
  EXPECT_GT(now.granules.size(), old.granules.size());
  EXPECT_TRUE(std::equal(old.granules.end() - 6, old.granules.end(), now.granules.end() - 6));
  // The audio pages keep their bytes but for the sequence number and CRC.
  EXPECT_EQ(Bytes(anew.Bytes().end() - 100, anew.Bytes().end()),
            Bytes(original.end() - 100, original.end()));
}

TEST(OggWrite, PacketsSharingTheHeaderPagesStayOnTheFirstAndLastNewPage) {
  Bytes id = Join({{1}, Text("vorbis"), Bytes(4, 0), {2}});
  Put32(id, 44100);
  id.resize(30, 0);
  const Bytes comment = VorbisComment({"TITLE=Old", "ARTIST=A"});
  const Bytes setup = Join({{5}, Text("vorbis"), Bytes(300, 0x5A)});
  Bytes original;
  uint32_t sequence = 0;
  AddPages(original, sequence, {id, comment, setup, Bytes(200, 3)}, 255, kOggFirstPage, 500);
  original = Join({original, Audio(sequence)});
  MemoryFile file(original), anew;
  FormatTextChanges changes;
  changes.title = std::string(9000, 'L');
  bool replaced = false;
  ASSERT_EQ(Write(file, changes, anew, replaced), 0);
  ASSERT_TRUE(replaced);
  const std::vector<Bytes> before = PacketsOf(original), after = PacketsOf(anew.Bytes());
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(FieldsOf(after[1], 7), (Fields{{"TITLE", *changes.title}, {"ARTIST", "A"}}));
  for (size_t k = 0; k < before.size(); ++k)
    if (k != 1) EXPECT_EQ(after[k], before[k]) << k;
  const Pages now = PagesOf(anew.Bytes());
  ASSERT_TRUE(now.numbered);
  ASSERT_GT(now.granules.size(), 7u);
  // The first page ends the identification packet, the last the audio packet.
  EXPECT_EQ(now.granules[0], 500u);
  EXPECT_EQ(now.granules[now.granules.size() - 7], 500u);
  EXPECT_EQ(anew.Bytes()[5], kOggFirstPage);
}

TEST(OggWrite, AChangeThePaddingAbsorbsIsWrittenInPlace) {
  const Bytes original = VorbisFile(
      VorbisComment({"TITLE=Old title", "GENRE=Rock"}, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  MemoryFile file(original), anew;
  FormatTextChanges changes;
  changes.genre = "Jazz; Pop";  // 13 bytes longer: takes 6 of the old title and 7 of padding
  changes.title = "Old";
  bool replaced = false;
  ASSERT_EQ(Write(file, changes, anew, replaced), 0);
  EXPECT_FALSE(replaced);
  EXPECT_TRUE(anew.Bytes().empty());
  ASSERT_EQ(file.Bytes().size(), original.size());
  const std::vector<Bytes> after = PacketsOf(file.Bytes());
  EXPECT_EQ(FieldsOf(after[1], 7), (Fields{{"TITLE", "Old"}, {"GENRE", "Jazz"}, {"GENRE", "Pop"}}));
  EXPECT_EQ(after[1][after[1].size() - 4], 1);  // the framing bit, then 3 bytes of padding
  EXPECT_TRUE(PagesOf(file.Bytes()).numbered);
  // An empty page among the header pages keeps its place.
  const Bytes withEmptyPage = VorbisFile(
      VorbisComment({"TITLE=Old title", "GENRE=Rock"}, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), 1, true);
  MemoryFile second(withEmptyPage);
  ASSERT_EQ(Write(second, changes, anew, replaced), 0);
  EXPECT_FALSE(replaced);
  EXPECT_TRUE(PagesOf(second.Bytes()).numbered);
  EXPECT_EQ(FieldsOf(PacketsOf(second.Bytes())[1], 7),
            (Fields{{"TITLE", "Old"}, {"GENRE", "Jazz"}, {"GENRE", "Pop"}}));
  // A disk that fails midway puts the old bytes back.
  MemoryFile failing(original);
  failing.FailWritesAfter(40);
  EXPECT_EQ(Write(failing, changes, anew, replaced), VBMP3_ERR_WRITE);
  EXPECT_EQ(failing.Bytes(), original);
}

TEST(OggWrite, OpusTagsKeepTheirBinaryDataAndLoseTheirPaddingToGrowth) {
  const Bytes binary = {0x01, 0xFE, 0xED};
  const Bytes original = OpusFile(Join({Text("OpusTags"), Structure({"ARTIST=A"}), binary}));
  MemoryFile file(original), anew;
  FormatTextChanges changes;
  changes.title = "Café 노래 ☆";
  bool replaced = false;
  ASSERT_EQ(Write(file, changes, anew, replaced), 0);
  ASSERT_TRUE(replaced);
  std::vector<Bytes> after = PacketsOf(anew.Bytes());
  EXPECT_EQ(after[1],
            Join({Text("OpusTags"), Structure({"ARTIST=A", "TITLE=Café 노래 ☆"}), binary}));
  EXPECT_TRUE(PagesOf(anew.Bytes()).numbered);

  const Bytes padded = OpusFile(Join({Text("OpusTags"), Structure({"ARTIST=A"}), Bytes(40, 0)}));
  MemoryFile inPlace(padded);
  ASSERT_EQ(Write(inPlace, changes, anew, replaced), 0);
  EXPECT_FALSE(replaced);
  after = PacketsOf(inPlace.Bytes());
  EXPECT_EQ(after[1].size(), PacketsOf(padded)[1].size());
  AudioProperties p;
  FormatTexts t;
  ASSERT_TRUE(ReadOggFile(inPlace, p, t));
  EXPECT_EQ(t.title, "Café 노래 ☆");
  EXPECT_EQ(t.artist, "A");
}

TEST(OggWrite, FilesOfSeveralStreamsAndBrokenHeadersAreRefusedUnchanged) {
  const Bytes vorbis = VorbisFile(VorbisComment({"TITLE=x"}));
  uint32_t sequence = 0;
  Bytes other;
  AddPages(other, sequence, {Bytes(40, 9)}, 255, kOggFirstPage, 0, 0x9999);
  const Bytes chained = Join({vorbis, VorbisFile(VorbisComment({"TITLE=y"}))});
  const Bytes multiplexed = Join(
      {Bytes(vorbis.begin(), vorbis.end() - 900), other, Bytes(vorbis.end() - 900, vorbis.end())});
  Bytes damagedTag = vorbis;
  damagedTag[80] ^= 1;
  FormatTextChanges changes;
  changes.title = std::string(5000, 'n');
  const std::pair<Bytes, int32_t> cases[] = {{chained, VBMP3_ERR_OGG_STREAMS},
                                             {multiplexed, VBMP3_ERR_OGG_STREAMS},
                                             {damagedTag, VBMP3_ERR_NOT_AUDIO},
                                             {Text("not an ogg file at all"), VBMP3_ERR_NOT_AUDIO}};
  for (const auto& [bytes, error] : cases) {
    MemoryFile file(bytes), anew;
    bool replaced = true;
    EXPECT_EQ(Write(file, changes, anew, replaced), error);
    EXPECT_FALSE(replaced);
    EXPECT_EQ(file.Bytes(), bytes);
  }
  // A replacement that fails, or none at all.
  MemoryFile file(vorbis), anew;
  anew.FailWritesAfter(3000);
  bool replaced = true;
  EXPECT_EQ(Write(file, changes, anew, replaced), VBMP3_ERR_WRITE);
  EXPECT_FALSE(replaced);
  EXPECT_EQ(WriteOggTexts(file, changes, nullptr, replaced), VBMP3_ERR_WRITE);
  EXPECT_EQ(file.Bytes(), vorbis);
}

TEST(OggWrite, EveryTruncationIsWrittenOrRefusedWithoutCrashing) {
  const Bytes whole = VorbisFile(VorbisComment({"TITLE=Old", "ARTIST=A"}), 3);
  FormatTextChanges changes;
  changes.title = std::string(400, 'x');
  for (size_t n = 0; n < whole.size(); n += 7) {
    const Bytes cut(whole.begin(), whole.begin() + n);
    MemoryFile file(cut), anew;
    bool replaced = false;
    if (Write(file, changes, anew, replaced) != 0) {
      EXPECT_EQ(file.Bytes(), cut);
      continue;
    }
    AudioProperties p;
    FormatTexts t;
    ASSERT_TRUE(ReadOggFile(replaced ? anew : file, p, t)) << n;
    EXPECT_EQ(t.title, *changes.title) << n;
  }
}

}  // namespace
}  // namespace vbmp3
