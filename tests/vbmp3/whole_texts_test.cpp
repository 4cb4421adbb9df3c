// The seven values handed over and taken whole, through the functions
// behind vbmp3_getFileInfoWhole and vbmp3_setTagTextsWhole, on a real file.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include <stdlib.h>

#include "tests/vbmp3/synth.h"
#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/last_error.h"
#include "vbmp3/src/text/unicode.h"
#include "vbmp3/src/whole_texts.h"

namespace {

struct TempFile {
  std::string path;
  explicit TempFile(const synth::Bytes& bytes) {
    char name[] = "/tmp/vbmp3-whole-XXXXXX";
    FILE* f = fdopen(mkstemp(name), "wb");
    path = name;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
  }
  ~TempFile() { std::remove(path.c_str()); }
  synth::Bytes Read() const {
    std::ifstream in(path, std::ios::binary);
    return synth::Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
};

TEST(WholeTexts, TheBlockEndsWithTheAlbumArtistAndTheDisc) {
  for (int major : {2, 3, 4}) {
    const char* albumArtist = major == 2 ? "TP2" : "TPE2";
    const char* disc = major == 2 ? "TPA" : "TPOS";
    TempFile file(synth::Join(
        {synth::Id3v2Tag(major, 0,
                         synth::Join({synth::Id3v2Frame(major, albumArtist, synth::Text(3, "V.A.")),
                                      synth::Id3v2Frame(major, disc, synth::Text(0, "2/3"))})),
         synth::Frames(synth::kMpeg1L3, 20, 2)}));
    std::string block(256, 'x');
    TagRecord tag{};
    StreamInfoRecord info{};
    int32_t needed = 0;
    ASSERT_EQ(vbmp3::GetFileInfoWhole(file.path.c_str(), &tag, &info, nullptr, block.data(), 256,
                                      &needed),
              1);
    EXPECT_EQ(std::string(block.data(), static_cast<size_t>(needed)),
              std::string(7, '\0') + "V.A." + '\0' + "2/3" + '\0')
        << major;
  }
}

TEST(WholeTexts, CrossTheBlockExportsUncut) {
  std::string title;
  for (int i = 0; i < 65; ++i) title += "\xE3\x81\x82";  // 195 bytes
  TempFile file(
      synth::Join({synth::Id3v2Tag(4, 0, synth::Id3v2Frame(4, "TIT2", synth::Text(3, title))),
                   synth::Frames(synth::kMpeg1L3, 20, 2)}));
  auto read = [&](int32_t room, int32_t& needed) {
    std::string block(static_cast<size_t>(room), 'x');
    TagRecord tag{};
    StreamInfoRecord info{};
    EXPECT_EQ(vbmp3::GetFileInfoWhole(file.path.c_str(), &tag, &info, nullptr, block.data(), room,
                                      &needed),
              1);
    vbmp3::Id3v2Values values;
    EXPECT_TRUE(vbmp3::SplitValueBlock(block.data(), block.size(), values));
    return values;
  };
  int32_t needed = 0;
  EXPECT_EQ(read(16, needed)[vbmp3::kValueTitle], "");        // too little room: no cut text
  EXPECT_EQ(needed, static_cast<int32_t>(title.size() + 9));  // nine texts, each with its NUL
  EXPECT_EQ(read(needed, needed)[vbmp3::kValueTitle], title);

  // One character changed: the rest of the title stays; a value equal to
  // the record's cut is taken as meant, not as the longer one unchanged.
  const std::string edited = title.substr(0, title.size() - 3) + "\xE3\x81\x84";
  for (const std::string& want : {edited, std::string(vbmp3::CutUtf8(edited, 127))}) {
    const std::string block = vbmp3::JoinValueBlock({want, "A", "", "", "", "", ""});
    ASSERT_EQ(vbmp3::SetTagTextsWhole(file.path.c_str(), block.data(),
                                      static_cast<int32_t>(block.size()), 0),
              1);
    EXPECT_EQ(read(4096, needed)[vbmp3::kValueTitle], want);
  }
  const synth::Bytes before = file.Read();
  EXPECT_EQ(vbmp3::SetTagTextsWhole(file.path.c_str(), "six\0values\0\0\0\0\0", 15, 0), 0);
  EXPECT_EQ(vbmp3::LastErrorNo(), VBMP3_ERR_BAD_ARGUMENT);
  EXPECT_EQ(file.Read(), before);
}

}  // namespace
