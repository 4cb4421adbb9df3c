// Writing the seven values into ID3v2 tags built here: in place or anew,
// the encodings each version gets, frames kept byte for byte, tags refused,
// the Shift_JIS repair, the ID3v1 tag beside, and failing writes.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "tests/vbmp3/synth.h"
#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/file_info.h"
#include "vbmp3/src/id3v2/id3v2_frame_list.h"
#include "vbmp3/src/last_error.h"
#include "vbmp3/src/tag_texts_write.h"

namespace {

using synth::Bytes;
using synth::Id3v2Frame;
using synth::Join;
using synth::Text;
using vbmp3::Id3v2Values;

const Bytes& Audio() {
  static const Bytes audio = synth::Frames(synth::kMpeg1L3, 20, 2);
  return audio;
}

Bytes Tag(int major, const std::vector<Bytes>& frames, size_t padding, uint8_t flags = 0) {
  Bytes body;
  for (const Bytes& f : frames) body.insert(body.end(), f.begin(), f.end());
  body.resize(body.size() + padding);
  return synth::Id3v2Tag(major, flags, body);
}

Bytes Of(const std::string& s) { return Bytes(s.begin(), s.end()); }

const Bytes kPicture =
    Id3v2Frame(3, "APIC", Of(std::string("\0image/png\0\3\0\x89PNG\xFF\x00\x01", 20)));
const Bytes kPrivate = Id3v2Frame(3, "PRIV", Of(std::string("owner\0\1\2\3", 9)));

// Writes through WriteTagValues; a replacement, when asked for, is a
// memory file that then becomes the file.
struct Writer {
  vbmp3::MemoryFile file;
  bool replaced = false;
  int32_t Write(const Id3v2Values& values, bool repair = false) {
    vbmp3::MemoryFile anew;
    const int32_t error = vbmp3::WriteTagValues(
        file, values, repair, [&]() -> vbmp3::RandomAccessFile* { return &anew; }, replaced);
    if (error == 0 && replaced) file = anew;
    return error;
  }
  vbmp3::Id3v2FrameList Frames() {
    vbmp3::Id3v2FrameList list;
    EXPECT_EQ(vbmp3::SplitId3v2Frames(file.Bytes().data(), file.Bytes().size(), list),
              vbmp3::FrameListOutcome::kSplit);
    return list;
  }
  TagTextsRecord Texts() {
    TagRecord tag{};
    StreamInfoRecord info{};
    TagTextsRecord texts{};
    EXPECT_EQ(vbmp3::ReadFileInfo(file, &tag, &info, &texts), 0);
    return texts;
  }
};

Id3v2Values Values(const std::string& title, const std::string& artist,
                   const std::string& year = "", const std::string& comment = "",
                   const std::string& genre = "", const std::string& album = "",
                   const std::string& track = "") {
  return {title, artist, album, year, comment, genre, track};
}

const vbmp3::Id3v2RawFrame* Find(const vbmp3::Id3v2FrameList& list, const std::string& id,
                                 int nth = 0) {
  for (const auto& f : list.frames) {
    if (f.id == id && nth-- == 0) return &f;
  }
  return nullptr;
}

bool EndsWithAudio(const Bytes& file, const Bytes& tail) {
  return file.size() >= tail.size() &&
         std::equal(tail.begin(), tail.end(), file.end() - static_cast<long>(tail.size()));
}

TEST(Id3v2Write, InPlaceWhenItFitsKeepingOtherFramesAndTheAudio) {
  const Bytes title = Id3v2Frame(3, "TIT2", Text(0, "Old"));
  const Bytes artist = Id3v2Frame(3, "TPE1", Text(0, "Band"));
  Writer w{vbmp3::MemoryFile(Join({Tag(3, {kPicture, title, artist, kPrivate}, 512), Audio()}))};
  const size_t size = w.file.Size();
  ASSERT_EQ(w.Write(Values("Caf\xC3\xA9 \xEB\x85\xB8\xEB\x9E\x98", "Band")), 0);
  EXPECT_FALSE(w.replaced);
  EXPECT_EQ(w.file.Size(), size);
  EXPECT_TRUE(EndsWithAudio(w.file.Bytes(), Audio()));
  const auto list = w.Frames();
  ASSERT_EQ(list.frames.size(), 4u);
  EXPECT_EQ(Of(list.frames[0].bytes), kPicture);
  EXPECT_EQ(list.frames[1].id, "TIT2");  // in the old one's place
  EXPECT_EQ(Of(list.frames[2].bytes), artist);
  EXPECT_EQ(Of(list.frames[3].bytes), kPrivate);
  // 2.3: UTF-16 with BOM for what is not ASCII.
  EXPECT_EQ(list.frames[1].Data(), std::string("\x01\xFF\xFE"
                                               "C\0a\0f\0\xE9\0 \0\x78\xB1\x98\xB7",
                                               17));
  EXPECT_STREQ(w.Texts().Texts[vbmp3::kTextTitle], "Caf\xC3\xA9 \xEB\x85\xB8\xEB\x9E\x98");
}

TEST(Id3v2Write, GrowsTheFileWithNewPaddingWhenItDoesNotFit) {
  Writer w{vbmp3::MemoryFile(
      Join({Tag(3, {kPrivate, Id3v2Frame(3, "TIT2", Text(0, "T"))}, 0), Audio()}))};
  ASSERT_EQ(w.Write(Values("A much longer title", "Artist", "2001")), 0);
  EXPECT_TRUE(w.replaced);
  EXPECT_TRUE(EndsWithAudio(w.file.Bytes(), Audio()));
  const auto list = w.Frames();
  EXPECT_EQ(Of(list.frames[0].bytes), kPrivate);
  EXPECT_EQ(list.frames[1].Data(), std::string("\0A much longer title", 20));  // ASCII: ISO-8859-1
  ASSERT_NE(Find(list, "TYER"), nullptr);
  size_t frames = 0;
  for (const auto& f : list.frames) frames += f.bytes.size();
  EXPECT_EQ(list.tagLength, 10 + frames + vbmp3::kNewTagPadding);
  EXPECT_EQ(w.file.Size(), list.tagLength + Audio().size());
}

TEST(Id3v2Write, VersionsKeepTheirEncodingsAndYearFrames) {
  // 2.4: UTF-8 always, the year in TDRC (a TYER, which readers take first, goes).
  Writer v24{vbmp3::MemoryFile(Join(
      {Tag(4,
           {Id3v2Frame(4, "TYER", Text(0, "1999")), Id3v2Frame(4, "TDRC", Text(0, "1999-01-02"))},
           256),
       Audio()}))};
  ASSERT_EQ(v24.Write(Values("Plain", "", "2024")), 0);
  auto list = v24.Frames();
  EXPECT_EQ(list.major, 4);
  EXPECT_EQ(Find(list, "TYER"), nullptr);
  EXPECT_EQ(Find(list, "TDRC")->Data(), std::string("\x03"
                                                    "2024"));
  EXPECT_EQ(Find(list, "TIT2")->Data(), std::string("\x03Plain"));
  // An unchanged 2.4 date stays whole.
  Writer date{vbmp3::MemoryFile(
      Join({Tag(4, {Id3v2Frame(4, "TDRC", Text(3, "1999-01-02"))}, 256), Audio()}))};
  ASSERT_EQ(date.Write(Values("T", "", "1999")), 0);
  EXPECT_EQ(Find(date.Frames(), "TDRC")->Data(), std::string("\x03"
                                                             "1999-01-02"));

  // 2.2 becomes 2.3 with its frames under their 2.3 ids, the picture's
  // format as a MIME type.
  const Bytes pic = Id3v2Frame(2, "PIC", Of(std::string("\0PNG\3\0data", 10)));
  const Bytes lyrics = Id3v2Frame(2, "ULT", Of(std::string("\0eng\0words", 10)));
  Writer v22{vbmp3::MemoryFile(
      Join({Tag(2, {pic, Id3v2Frame(2, "TT2", Text(0, "Old")), lyrics}, 64), Audio()}))};
  ASSERT_EQ(v22.Write(Values("New", "")), 0);
  list = v22.Frames();
  EXPECT_EQ(list.major, 3);
  ASSERT_EQ(list.frames.size(), 3u);
  EXPECT_EQ(list.frames[0].id, "APIC");
  EXPECT_EQ(list.frames[0].Data(), std::string("\0image/png\0\3\0data", 17));
  EXPECT_EQ(list.frames[1].Data(), std::string("\0New", 4));
  EXPECT_EQ(list.frames[2].id, "USLT");
  EXPECT_EQ(list.frames[2].Data(), std::string("\0eng\0words", 10));
}

TEST(Id3v2Write, NewTagOnlyWhenThereIsSomethingToWrite) {
  Writer none{vbmp3::MemoryFile(Audio())};
  ASSERT_EQ(none.Write(Values("", "")), 0);
  EXPECT_EQ(none.file.Bytes(), Audio());
  ASSERT_EQ(none.Write(Values("Title", "")), 0);
  EXPECT_TRUE(none.replaced);
  EXPECT_EQ(none.Frames().major, 3);
  EXPECT_TRUE(EndsWithAudio(none.file.Bytes(), Audio()));
  // Writing the same values again changes nothing.
  const Bytes before = none.file.Bytes();
  ASSERT_EQ(none.Write(Values("Title", "")), 0);
  EXPECT_EQ(none.file.Bytes(), before);
}

TEST(Id3v2Write, RefusesTagsItCannotRewriteFaithfully) {
  const Bytes title = Id3v2Frame(3, "TIT2", Text(0, "T"));
  const Bytes crcHeader = Of(std::string("\0\0\0\x0A\x80\0\0\0\0\0\0\0\0\0", 14));
  const Bytes cases[] = {
      Join({Tag(3, {title}, 64, 0x80), Audio()}),                                // unsynchronised
      Join({Tag(3, {Id3v2Frame(3, "TIT2", Text(0, "T"), 0x80)}, 64), Audio()}),  // compressed
      Join({Tag(4, {Id3v2Frame(4, "COMM", Text(0, "xxx\0c"), 0x04)}, 64), Audio()}),   // encrypted
      Join({synth::Id3v2Tag(3, 0x40, Join({crcHeader, title, Bytes(64)})), Audio()}),  // CRC
      synth::Riff("WAVE",
                  {{"fmt ", synth::WaveFormat(1, 1, 8000, 16000, 2, 16)}, {"data", Bytes(64)}}),
  };
  for (const Bytes& bytes : cases) {
    Writer w{vbmp3::MemoryFile(bytes)};
    EXPECT_EQ(w.Write(Values("New", "")), VBMP3_ERR_TAG_NOT_REWRITABLE);
    EXPECT_EQ(w.file.Bytes(), bytes);
  }
  // A compressed frame of another kind is kept as it is.
  const Bytes other = Id3v2Frame(3, "TXXX", Text(0, "zz"), 0x80);
  Writer w{vbmp3::MemoryFile(Join({Tag(3, {other, title}, 64), Audio()}))};
  ASSERT_EQ(w.Write(Values("New", "")), 0);
  EXPECT_EQ(Of(w.Frames().frames[0].bytes), other);
}

TEST(Id3v2Write, EmptyValuesRemoveFramesAndOnlyThePlainCommentIsReplaced) {
  const Bytes described = Id3v2Frame(3, "COMM", Of(std::string("\0engnote\0other", 14)));
  const Bytes plain = Id3v2Frame(3, "COMM", Of(std::string("\0eng\0old", 8)));
  Writer w{vbmp3::MemoryFile(Join({Tag(3,
                                       {Id3v2Frame(3, "TIT2", Text(0, "T")), described, plain,
                                        Id3v2Frame(3, "TIT2", Text(0, "dup"))},
                                       128),
                                   Audio()}))};
  ASSERT_EQ(w.Write(Values("", "", "", "new comment")), 0);
  auto list = w.Frames();
  EXPECT_EQ(Find(list, "TIT2"), nullptr);  // duplicates too: a later one would show through
  EXPECT_EQ(Of(Find(list, "COMM", 0)->bytes), described);
  EXPECT_EQ(Find(list, "COMM", 1)->Data(), std::string("\0jpn\0new comment", 16));
  // Emptied, the plain comment stays as an empty frame so the described one
  // is not read in its place.
  ASSERT_EQ(w.Write(Values("", "", "", "")), 0);
  EXPECT_STREQ(w.Texts().Texts[vbmp3::kTextComment], "");
  list = w.Frames();
  EXPECT_EQ(Of(Find(list, "COMM", 0)->bytes), described);
  ASSERT_NE(Find(list, "COMM", 1), nullptr);
}

TEST(Id3v2Write, ACommentIsPlainAsTheReaderSeesItThroughFrameFlags) {
  // 2.4: a grouping byte and a data length indicator before the data.
  const Bytes grouped =
      Id3v2Frame(4, "COMM", Of(std::string("\x15\0\0\0\x08\0eng\0old", 14)), 0x41);
  Writer w{vbmp3::MemoryFile(Join({Tag(4, {grouped}, 64), Audio()}))};
  EXPECT_STREQ(w.Texts().Texts[vbmp3::kTextComment], "old");
  ASSERT_EQ(w.Write(Values("", "", "", "new")), 0);
  const auto list = w.Frames();
  ASSERT_EQ(list.frames.size(), 1u);  // replaced, not read before a second one
  EXPECT_STREQ(w.Texts().Texts[vbmp3::kTextComment], "new");
}

TEST(Id3v2Write, ShiftJisValuesAreRepairedOnlyWhenAsked) {
  const std::string sjis = "\x83\x5C\x83\x74\x83\x67";  // ソフト
  const std::string utf8 = "\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88";
  const Bytes artist = Id3v2Frame(3, "TPE1", Text(0, sjis));
  Writer w{vbmp3::MemoryFile(
      Join({Tag(3, {Id3v2Frame(3, "TIT2", Text(0, "T")), artist}, 128), Audio()}))};
  EXPECT_STREQ(w.Texts().Texts[vbmp3::kTextId3v2ShiftJis], "Shift_JIS");
  ASSERT_EQ(w.Write(Values("T2", utf8)), 0);
  EXPECT_EQ(Of(Find(w.Frames(), "TPE1")->bytes), artist);  // unchanged: not rewritten
  ASSERT_EQ(w.Write(Values("T2", utf8), true), 0);
  EXPECT_EQ(Find(w.Frames(), "TPE1")->Data(),
            std::string("\x01\xFF\xFE\xBD\x30\xD5\x30\xC8\x30", 9));
  const TagTextsRecord texts = w.Texts();
  EXPECT_STREQ(texts.Texts[vbmp3::kTextArtist], utf8.c_str());
  EXPECT_STREQ(texts.Texts[vbmp3::kTextId3v2ShiftJis], "");

  // A 2.4 frame marked UTF-8 that holds Shift_JIS is repaired into UTF-8.
  Writer v24{
      vbmp3::MemoryFile(Join({Tag(4, {Id3v2Frame(4, "TPE1", Text(3, sjis))}, 128), Audio()}))};
  ASSERT_EQ(v24.Write(Values("", utf8), true), 0);
  EXPECT_EQ(Find(v24.Frames(), "TPE1")->Data(), "\x03" + utf8);
}

TEST(Id3v2Write, AValueCutToTheRecordsWidthLeavesTheLongerOneAlone) {
  std::string longTitle;
  for (int i = 0; i < 60; ++i) longTitle += "\xC3\xA9";  // 120 bytes...
  longTitle += "abcdefghij";                             // ...130
  const Bytes title = Id3v2Frame(4, "TIT2", Text(3, longTitle));
  Writer w{vbmp3::MemoryFile(Join({Tag(4, {title}, 64), Audio()}))};
  const std::string cut = w.Texts().Texts[vbmp3::kTextTitle];
  EXPECT_EQ(cut.size(), 127u);
  ASSERT_EQ(w.Write(Values(cut, "New artist")), 0);
  EXPECT_EQ(Of(Find(w.Frames(), "TIT2")->bytes), title);
}

TEST(Id3v2Write, TheId3v1TagGetsTheSameValuesInCodePage932) {
  const Bytes v1 = synth::Id3v1("old", "old", "", 7, 13);
  Writer w{vbmp3::MemoryFile(Join({Tag(3, {}, 64), Audio(), v1}))};
  const std::string longKana =
      "\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88"
      "\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88"
      "\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88"
      "\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88"
      "\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88"
      "A";  // 16 characters, 31 bytes in 932: 29 fit
  ASSERT_EQ(w.Write(Values("A" + longKana, "Caf\xC3\xA9 \xEB\x85\xB8", "2024", "", "J-Pop")), 0);
  TagRecord tag{};
  StreamInfoRecord info{};
  vbmp3::ReadFileInfo(w.file, &tag, &info, nullptr);
  EXPECT_EQ(std::string(tag.Title), "A" + std::string("\x83\x5C\x83\x74\x83\x67", 6) +
                                        "\x83\x5C\x83\x74\x83\x67" + "\x83\x5C\x83\x74\x83\x67" +
                                        "\x83\x5C\x83\x74\x83\x67" + "\x83\x5C\x83\x74");
  EXPECT_STREQ(tag.Artist, "Caf? ?");  // no room in code page 932
  EXPECT_EQ(tag.GenreNumber, 13);      // a name the table lacks keeps the number
  const Bytes& bytes = w.file.Bytes();
  EXPECT_EQ(bytes[bytes.size() - 2], 7);  // the track number stays
  ASSERT_EQ(w.Write(Values("A", "B", "", "", "Rock")), 0);
  vbmp3::ReadFileInfo(w.file, &tag, &info, nullptr);
  EXPECT_EQ(tag.GenreNumber, 17);
}

TEST(Id3v2Write, AFailingDiskLeavesTheFileAsItWas) {
  const Bytes bytes = Join({Tag(3, {Id3v2Frame(3, "TIT2", Text(0, "T"))}, 64), Audio(),
                            synth::Id3v1("t", "a", "", 0, 1)});
  for (uint64_t budget : {0, 5, 100, 200}) {
    Writer w{vbmp3::MemoryFile(bytes)};
    w.file.FailWritesAfter(budget);
    EXPECT_EQ(w.Write(Values("New", "")), VBMP3_ERR_WRITE) << budget;
    EXPECT_EQ(w.file.Bytes(), bytes) << budget;
  }
  // Growing: the replacement fails, the file is untouched.
  for (uint64_t budget : {0, 100, 4000}) {
    vbmp3::MemoryFile file(bytes), anew;
    anew.FailWritesAfter(budget);
    bool replaced = true;
    EXPECT_EQ(vbmp3::WriteTagValues(
                  file, Values(std::string(300, 'x'), ""), false,
                  [&]() -> vbmp3::RandomAccessFile* { return &anew; }, replaced),
              VBMP3_ERR_WRITE);
    EXPECT_FALSE(replaced);
    EXPECT_EQ(file.Bytes(), bytes);
  }
}

// Through the path, on real files.
struct TempFile {
  std::string path;
  explicit TempFile(const Bytes& bytes) {
    char name[] = "/tmp/vbmp3-write-XXXXXX";
    const int fd = mkstemp(name);
    path = name;
    FILE* f = fdopen(fd, "wb");
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
  }
  ~TempFile() { std::remove(path.c_str()); }
  Bytes Read() const {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
};

TagTextsRecord Record(const Id3v2Values& values) {
  TagTextsRecord r{};
  for (int v = 0; v < vbmp3::kValueCount; ++v) {
    std::copy(values[v].begin(), values[v].end(), r.Texts[v]);
  }
  return r;
}

TEST(Id3v2Write, ByPathReplacesTheFileKeepingItsModeOrRefusesReadOnly) {
  TempFile file(Join({Tag(3, {}, 0), Audio()}));
  chmod(file.path.c_str(), 0640);
  const TagTextsRecord record = Record(Values("Grown", "Artist"));
  ASSERT_EQ(vbmp3::SetTagTexts(file.path.c_str(), &record, 0), 1);
  struct stat st;
  ASSERT_EQ(stat(file.path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  vbmp3::MemoryFile written(file.Read());
  TagRecord tag{};
  StreamInfoRecord info{};
  TagTextsRecord texts{};
  EXPECT_EQ(vbmp3::ReadFileInfo(written, &tag, &info, &texts), 0);
  EXPECT_STREQ(texts.Texts[vbmp3::kTextTitle], "Grown");

  chmod(file.path.c_str(), 0444);
  const Bytes before = file.Read();
  EXPECT_EQ(vbmp3::SetTagTexts(file.path.c_str(), &record, 0), 0);
  EXPECT_EQ(vbmp3::LastErrorNo(), VBMP3_ERR_READ_ONLY);
  EXPECT_EQ(file.Read(), before);
  EXPECT_EQ(vbmp3::SetTagTexts(file.path.c_str(), nullptr, 0), 0);
  EXPECT_EQ(vbmp3::LastErrorNo(), VBMP3_ERR_BAD_ARGUMENT);
}

}  // namespace
