// "%N" on real files through VBMP3.dll: the track of an ID3v1.1 tag, of an
// ID3v2.3 "7/12" frame and of an ID3v2.4 frame, and "00" without one.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "engine/name_builder.h"
#include "tests/engine/win_support.h"

using engine_test::ScratchFolder;
using engine_test::TaggedMp3;
using engine_test::WriteBytes;

namespace {

std::string Size32(uint32_t n, bool syncsafe) {
  int shift = syncsafe ? 7 : 8;
  uint32_t mask = syncsafe ? 0x7F : 0xFF;
  return {static_cast<char>((n >> (3 * shift)) & mask),
          static_cast<char>((n >> (2 * shift)) & mask), static_cast<char>((n >> shift) & mask),
          static_cast<char>(n & mask)};
}

// An ID3v2 tag of the given major version with ISO-8859-1 text frames.
std::string Id3v2(int major, std::initializer_list<std::pair<const char*, std::string>> frames) {
  std::string body;
  for (const auto& [id, text] : frames) {
    std::string value = std::string(1, '\0') + text;
    body += std::string(id, 4) + Size32(static_cast<uint32_t>(value.size()), major == 4) +
            std::string(2, '\0') + value;
  }
  return std::string("ID3") + static_cast<char>(major) + std::string(2, '\0') +
         Size32(static_cast<uint32_t>(body.size()), true) + body;
}

std::string WithoutId3v1(const std::string& mp3) { return mp3.substr(0, mp3.size() - 128); }

class TrackNumberTest : public testing::Test {
 protected:
  Preferences preferences;
  void SetUp() override {
    if (!engine_test::LibraryReady()) GTEST_SKIP() << "VBMP3.dll not usable";
  }
  std::wstring Named(const wchar_t* file, const std::string& bytes) {
    std::wstring path = dir / file;
    WriteBytes(path, bytes);
    return BuildRenameName(preferences, path, L"%N %T", 0);
  }
  ScratchFolder dir;
};

}  // namespace

TEST_F(TrackNumberTest, FromEveryTagVersionAndFallbackWithout) {
  // ID3v1.1: a zero comment byte 28 followed by the track byte 29.
  std::string v11 = TaggedMp3("One", "A", "", "", "note");
  v11[v11.size() - 128 + 126] = 9;
  EXPECT_EQ(Named(L"v11.mp3", v11), dir / L"09 One.mp3");
  // A comment filling all 30 bytes is ID3v1.0: its last byte is text.
  EXPECT_EQ(Named(L"v10.mp3", TaggedMp3("Ten", "A", "", "", std::string(30, 'c'))),
            dir / L"00 Ten.mp3");

  std::string audio = WithoutId3v1(TaggedMp3("", ""));
  EXPECT_EQ(Named(L"v23.mp3", Id3v2(3, {{"TIT2", "Seven"}, {"TRCK", "7/12"}}) + audio),
            dir / L"07 Seven.mp3");
  EXPECT_EQ(Named(L"v24.mp3", Id3v2(4, {{"TIT2", "Twelve"}, {"TRCK", "112"}}) + audio),
            dir / L"112 Twelve.mp3");
  EXPECT_EQ(Named(L"none.mp3", Id3v2(3, {{"TIT2", "None"}}) + audio), dir / L"00 None.mp3");
}

// A file tagged with both: the preferred tag's track, the other's when the
// preferred one has none.
TEST_F(TrackNumberTest, BothTagsFollowThePreference) {
  std::string v11 = TaggedMp3("Song", "A", "", "", "note");
  v11[v11.size() - 128 + 126] = 3;
  std::wstring both = dir / L"both.mp3";
  WriteBytes(both, Id3v2(3, {{"TRCK", "5/9"}}) + v11);
  EXPECT_EQ(BuildRenameName(preferences, both, L"%N", 0), dir / L"03.mp3");
  preferences.settings.preferId3v2 = true;
  EXPECT_EQ(BuildRenameName(preferences, both, L"%N", 0), dir / L"05.mp3");

  std::wstring v10 = dir / L"v10.mp3";
  WriteBytes(v10, Id3v2(3, {{"TRCK", "8"}}) + TaggedMp3("Song", "A"));
  preferences.settings.preferId3v2 = false;
  EXPECT_EQ(BuildRenameName(preferences, v10, L"%N", 0), dir / L"08.mp3");
}
