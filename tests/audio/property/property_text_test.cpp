#include "audio/property/property_text.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using property::ClassifyTarget;
using property::FormatPlayTime;
using property::TargetState;

TEST(PlayTime, MinutesUnpaddedSecondsTwoDigits) {
  EXPECT_EQ(FormatPlayTime(0), L"0:00");
  EXPECT_EQ(FormatPlayTime(5), L"0:05");
  EXPECT_EQ(FormatPlayTime(59), L"0:59");
  EXPECT_EQ(FormatPlayTime(60), L"1:00");
  EXPECT_EQ(FormatPlayTime(90), L"1:30");
  EXPECT_EQ(FormatPlayTime(185), L"3:05");
  EXPECT_EQ(FormatPlayTime(3599), L"59:59");
  EXPECT_EQ(FormatPlayTime(3600), L"60:00");
  EXPECT_EQ(FormatPlayTime(36000), L"600:00");
  EXPECT_EQ(FormatPlayTime(INT32_MAX), L"35791394:07");
  EXPECT_EQ(FormatPlayTime(-1), L"0:00");
  EXPECT_EQ(FormatPlayTime(INT32_MIN), L"0:00");
}

TEST(StreamInfoText, LinesJoinedByCrLfWithNoneAfterTheLast) {
  StreamInfoRecord info{};
  info.Version = 1;
  info.Layer = 3;
  info.Unused[0] = 777;  // never shown
  info.Channels = 2;
  info.BitRate = 128;
  info.SamplingRate = 44100;
  info.FileSize = 4000123;
  info.Frames = 9570;
  info.TotalSeconds = 250;
  EXPECT_EQ(
      property::FormatStreamInfo(info, L""),
      L"Version：1\r\nLayer：3\r\nChannels：2\r\nBitrate：128kbps\r\n"
      L"SamplingRate：44100\r\nFileSize：4000123bytes\r\nFlames：9570\r\nTime：4:10\r\nID3v2：なし");
  const std::wstring withVersion = property::FormatStreamInfo(info, L"2.3");
  EXPECT_EQ(withVersion.substr(withVersion.rfind(L"Time")), L"Time：4:10\r\nID3v2：2.3");
}

// Records every pattern asked for and answers with a fixed result.
struct FakeLookup {
  win::Lookup answer = win::Lookup::NotFound;
  std::vector<std::wstring> asked;
  property::LookupFunction Function() {
    return [this](const std::wstring& pattern) {
      asked.push_back(pattern);
      return answer;
    };
  }
};

TEST(TargetVerdict, OwnPathIsRecognisedWithoutLookingUp) {
  FakeLookup lookup;
  lookup.answer = win::Lookup::Found;
  EXPECT_EQ(ClassifyTarget(L"C:\\m\\a.mp3", L"C:\\m\\a.mp3", lookup.Function()),
            TargetState::OwnFile);
  EXPECT_TRUE(lookup.asked.empty());
}

TEST(TargetVerdict, CaseOnlyDifferenceIsADuplicateWhenTheLookupFindsIt) {
  FakeLookup lookup;
  lookup.answer = win::Lookup::Found;
  EXPECT_EQ(ClassifyTarget(L"C:\\m\\A.mp3", L"C:\\m\\a.mp3", lookup.Function()),
            TargetState::Duplicate);
  ASSERT_EQ(lookup.asked.size(), 1u);
  EXPECT_EQ(lookup.asked[0], L"C:\\m\\A.mp3");
}

TEST(TargetVerdict, LookupResultsMapToStates) {
  FakeLookup lookup;
  lookup.answer = win::Lookup::NotFound;
  EXPECT_EQ(ClassifyTarget(L"C:\\m\\b.mp3", L"C:\\m\\a.mp3", lookup.Function()),
            TargetState::NoDuplicate);
  lookup.answer = win::Lookup::Failed;
  EXPECT_EQ(ClassifyTarget(L"C:\\m\\b|.mp3", L"C:\\m\\a.mp3", lookup.Function()),
            TargetState::BadPath);
}

TEST(TargetVerdict, EmptyTargetIsNeverSearchedAndNeverTakenForTheOwnFile) {
  FakeLookup lookup;
  lookup.answer = win::Lookup::Found;
  EXPECT_EQ(ClassifyTarget(L"", L"C:\\m\\a.mp3", lookup.Function()), TargetState::BadPath);
  EXPECT_EQ(ClassifyTarget(L"", L"", lookup.Function()), TargetState::BadPath);
  EXPECT_TRUE(lookup.asked.empty());
}

// The verdict is on the name OK will store: a device name is looked up with
// its "_", a control character or a folder's trailing dot as Windows would
// hold the path; the own file is recognised through the same rules.
TEST(TargetVerdict, TheNameThatWillReallyBeUsedIsJudged) {
  FakeLookup lookup;
  lookup.answer = win::Lookup::NotFound;
  EXPECT_EQ(ClassifyTarget(L"C:\\m.\\CON.mp3", L"C:\\m\\a.mp3", lookup.Function()),
            TargetState::NoDuplicate);
  EXPECT_EQ(ClassifyTarget(L"C:\\m\\b\t.mp3 ", L"C:\\m\\a.mp3", lookup.Function()),
            TargetState::NoDuplicate);
  EXPECT_EQ(lookup.asked, (std::vector<std::wstring>{L"C:\\m\\CON_.mp3", L"C:\\m\\b.mp3"}));
  EXPECT_EQ(ClassifyTarget(L"C:\\m\\a.mp3.", L"C:\\m\\a.mp3", lookup.Function()),
            TargetState::OwnFile);
  EXPECT_EQ(property::StoredTarget(L"C:\\m\\nul.x.mp3"), L"C:\\m\\nul_.x.mp3");
  EXPECT_EQ(property::StoredTarget(L"C:\\m\\a.mp3"), L"C:\\m\\a.mp3");
  EXPECT_EQ(property::StoredTarget(L""), L"");
}

TEST(TargetVerdict, CaptionsAndColour) {
  EXPECT_STREQ(property::TargetStateCaption(TargetState::NoDuplicate), L"重複はありません。");
  EXPECT_STREQ(property::TargetStateCaption(TargetState::OwnFile),
               L"重複していますが、このファイルと思われます。");
  EXPECT_STREQ(property::TargetStateCaption(TargetState::Duplicate), L"ファイルが重複しています。");
  EXPECT_STREQ(property::TargetStateCaption(TargetState::BadPath), L"パスの指定が間違っています。");
  EXPECT_TRUE(property::TargetStateIsAlarm(TargetState::Duplicate));
  EXPECT_FALSE(property::TargetStateIsAlarm(TargetState::OwnFile));
  EXPECT_FALSE(property::TargetStateIsAlarm(TargetState::NoDuplicate));
  EXPECT_FALSE(property::TargetStateIsAlarm(TargetState::BadPath));
}

}  // namespace
