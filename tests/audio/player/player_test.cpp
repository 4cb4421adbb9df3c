#include "audio/player/player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

namespace {

// A library that "plays" whatever is opened until told it has ended.
class FakeLibrary : public PlayerLibrary {
 public:
  void Close() override {
    open.clear();
    ++closes;
  }
  bool Open(const std::wstring& path, std::wstring& title, int32_t& total,
            std::wstring& problem) override {
    tried.push_back(path);
    if (unreachable.count(path)) {
      problem = L"unreachable " + path;
      return false;
    }
    if (broken.count(path)) {
      lastError = 2;
      return false;
    }
    open = path;
    title = L"T:" + path;
    total = 180;
    return true;
  }
  bool Play() override {
    if (noOutput) {
      lastError = 9;
      return false;
    }
    playing = !open.empty();
    started.push_back(open);
    return playing;
  }
  void Stop() override { playing = false; }
  int32_t GetState(int32_t& seconds) override {
    seconds = position;
    return playing ? 1 : 0;
  }
  int32_t LastErrorNo() override { return lastError; }

  std::wstring open;
  std::vector<std::wstring> started;
  std::vector<std::wstring> tried;  // every open, failed ones too
  std::map<std::wstring, bool> broken;
  std::map<std::wstring, bool> unreachable;
  bool playing = false;
  bool noOutput = false;  // opens, but there is no device to play on
  int32_t position = 0;
  int32_t lastError = 0;
  int closes = 0;
};

class FakeHost : public PlayerHost {
 public:
  int EntryCount() const override { return static_cast<int>(paths.size()); }
  std::wstring SourcePath(int p) const override { return paths.at(static_cast<size_t>(p - 1)); }
  int SelectedPosition() const override { return selected; }
  bool ContinuousPlay() const override { return repeat; }
  void SetPlayerStatus(const std::wstring& t) override { status = t; }
  void ShowPlayError(const std::wstring& t) override {
    errors.push_back(t);
    if (whileShown) whileShown();
  }
  void SetPlayerTimer(bool on) override { timer = on; }

  std::vector<std::wstring> paths{L"1", L"2", L"3"};
  int selected = 0;
  bool repeat = false;
  bool timer = false;
  std::wstring status = L"停止";
  std::vector<std::wstring> errors;
  std::function<void()> whileShown;  // what runs while the box is open
};

struct PlayerTest : ::testing::Test {
  FakeLibrary library;
  FakeHost host;
  Player player{library, host};
  void PlaySelected(int position) {
    host.selected = position;
    player.Play();
  }
};

}  // namespace

TEST_F(PlayerTest, PlayStartsTheSelectedEntryAtOnce) {
  player.Play();  // nothing selected
  EXPECT_TRUE(library.started.empty());
  EXPECT_FALSE(host.timer);
  PlaySelected(1);
  PlaySelected(2);  // while 1 plays
  EXPECT_EQ(library.started, (std::vector<std::wstring>{L"1", L"2"}));
  EXPECT_EQ(player.PlayIndex, 2);
  EXPECT_TRUE(host.timer);
  player.Next();
  EXPECT_EQ(library.open, L"3");
}

TEST_F(PlayerTest, NextAndPreviousWrapAndNeedPlayback) {
  player.Next();
  player.Previous();
  EXPECT_TRUE(library.started.empty());  // stopped: nothing changes
  EXPECT_EQ(player.PlayIndex, 0);
  PlaySelected(3);
  player.Next();
  EXPECT_EQ(player.PlayIndex, 1);
  player.Previous();
  EXPECT_EQ(player.PlayIndex, 3);
  EXPECT_EQ(library.open, L"3");
}

TEST_F(PlayerTest, EndOfFileWithAndWithoutContinuousPlay) {
  PlaySelected(3);
  library.playing = false;  // the file ended
  host.repeat = true;
  player.Tick();
  EXPECT_EQ(player.PlayIndex, 1);
  EXPECT_EQ(library.open, L"1");
  library.playing = false;
  host.repeat = false;
  player.Tick();
  EXPECT_FALSE(host.timer);
  EXPECT_EQ(host.status, L"停止");
}

TEST_F(PlayerTest, StatusTextWhilePlaying) {
  PlaySelected(2);
  library.position = 65;
  player.Tick();
  EXPECT_EQ(host.status, L"再生中 - T:2 - 1:05/3:00 ");
  EXPECT_EQ(Player::StatusText(L"", 1, 180), L"再生中 -  - 0:01/3:00 ");
  EXPECT_EQ(Player::StatusText(L"Song", 65, 630), L"再生中 - Song - 1:05/10:30 ");
  EXPECT_EQ(Player::MinutesSeconds(3600), L"60:00");
  EXPECT_EQ(Player::MinutesSeconds(0), L"0:00");
}

TEST_F(PlayerTest, FailedOpenShowsTheNumberAndStops) {
  library.broken[L"2"] = true;
  PlaySelected(2);
  ASSERT_EQ(host.errors, std::vector<std::wstring>{L"再生エラー：2"});
  EXPECT_EQ(host.status, L"停止");
  EXPECT_TRUE(host.timer);  // switched on again after the stop
  EXPECT_TRUE(player.PlayTitle.empty());
}

// A message box runs its own message loop, and the player's one-second timer
// goes on arriving in it. With continuous play on and nothing that opens,
// each box must be answered before the next entry is tried.
TEST_F(PlayerTest, NoTickRunsWhileOneOfThePlayersBoxesIsOpen) {
  library.broken = {{L"1", true}, {L"2", true}, {L"3", true}};
  host.repeat = true;
  int open = 0, mostOpen = 0;
  host.whileShown = [&] {
    ++open;
    mostOpen = std::max(mostOpen, open);
    // Three seconds inside the box; a bound keeps a runaway from recursing on.
    if (open < 4)
      for (int second = 0; second < 3; ++second) player.Tick();
    --open;
  };
  PlaySelected(1);
  EXPECT_EQ(library.tried, std::vector<std::wstring>{L"1"});
  EXPECT_TRUE(host.timer);
  // After each OK the next tick goes on with the next entry, wrapping.
  for (int answered = 0; answered < 3; ++answered) player.Tick();
  EXPECT_EQ(mostOpen, 1);
  EXPECT_EQ(library.tried, (std::vector<std::wstring>{L"1", L"2", L"3", L"1"}));
  EXPECT_EQ(host.errors.size(), 4u);
  EXPECT_EQ(player.PlayIndex, 1);
  EXPECT_TRUE(host.timer);

  // The same for the box that names a file the library cannot be given.
  library.unreachable[L"2"] = true;
  library.tried.clear();
  mostOpen = 0;
  player.Tick();
  EXPECT_EQ(mostOpen, 1);
  EXPECT_EQ(library.tried, std::vector<std::wstring>{L"2"});
}

TEST_F(PlayerTest, AFileTheLibraryCannotBeGivenIsNamedRatherThanNumbered) {
  library.unreachable[L"2"] = true;
  PlaySelected(2);
  EXPECT_EQ(host.errors, std::vector<std::wstring>{L"unreachable 2"});
  EXPECT_EQ(host.status, L"停止");
  EXPECT_TRUE(library.started.empty());
}

// A double click that plays nothing must say why, as a failed open does.
TEST_F(PlayerTest, PlaybackThatCannotStartShowsTheLibrarysNumberAndStops) {
  library.noOutput = true;
  PlaySelected(2);
  EXPECT_EQ(library.tried, std::vector<std::wstring>{L"2"});
  EXPECT_EQ(host.errors, std::vector<std::wstring>{L"再生エラー：9"});
  EXPECT_EQ(host.status, L"停止");
  EXPECT_TRUE(host.timer);
  EXPECT_EQ(library.open, L"");  // the stop closed the file
}

TEST_F(PlayerTest, RemoveRules) {
  host.paths = {L"1", L"2", L"3", L"4", L"5"};
  PlaySelected(3);
  player.BeforeRemove(5, 5);  // after the playing entry: nothing
  EXPECT_TRUE(library.playing);
  EXPECT_EQ(player.PlayIndex, 3);
  player.BeforeRemove(1, 5);  // before it: playback goes on, index lost
  EXPECT_TRUE(library.playing);
  EXPECT_EQ(player.PlayIndex, -1);
  PlaySelected(3);
  player.BeforeRemove(3, 5);  // the playing entry itself
  EXPECT_FALSE(library.playing);
  PlaySelected(1);
  host.paths = {L"1"};
  player.BeforeRemove(1, 1);  // the only entry
  EXPECT_FALSE(library.playing);
}

// Several entries leaving together: each gets the rule of a single removal.
TEST_F(PlayerTest, RemovingSeveralAppliesEachRemovalsRule) {
  host.paths = {L"1", L"2", L"3", L"4", L"5"};
  PlaySelected(3);
  player.BeforeRemove(std::vector<int>{4, 5}, 5);  // all after it
  EXPECT_TRUE(library.playing);
  EXPECT_EQ(player.PlayIndex, 3);
  player.BeforeRemove(std::vector<int>{1, 5}, 5);  // one before it
  EXPECT_TRUE(library.playing);
  EXPECT_EQ(player.PlayIndex, -1);
  PlaySelected(3);
  player.BeforeRemove(std::vector<int>{2, 3}, 5);  // the playing one among them
  EXPECT_FALSE(library.playing);
  PlaySelected(5);
  player.BeforeRemove(std::vector<int>{1, 2, 3, 4, 5}, 5);  // everything
  EXPECT_FALSE(library.playing);
}

TEST_F(PlayerTest, AReorderKeepsTheIndexOnThePlayingEntry) {
  PlaySelected(1);
  player.Reordered({3, 1, 2});
  EXPECT_EQ(player.PlayIndex, 3);
  player.PlayIndex = -1;  // lost: stays lost
  player.Reordered({3, 1, 2});
  EXPECT_EQ(player.PlayIndex, -1);
}

TEST_F(PlayerTest, StaleIndexNeverAddressesAMissingEntry) {
  PlaySelected(3);
  player.PlayIndex = -1;  // an entry before it was removed
  player.Next();
  EXPECT_EQ(player.PlayIndex, 1);
  player.PlayIndex = 7;  // a rename run shortened the list
  player.Previous();
  EXPECT_EQ(player.PlayIndex, 3);
  player.PlayIndex = 9;
  library.playing = false;
  host.repeat = true;
  player.Tick();
  EXPECT_EQ(player.PlayIndex, 1);
  host.paths.clear();  // everything was renamed away
  library.playing = false;
  player.Tick();
  EXPECT_FALSE(host.timer);
  EXPECT_EQ(host.status, L"停止");
}

// A list longer than a 16-bit index reaches: entry 33,000 plays its own file
// and stepping crosses 32,767 both ways without wrapping negative.
TEST_F(PlayerTest, IndexesPast32767PlayTheirOwnEntries) {
  host.paths.clear();
  for (int i = 1; i <= 40000; ++i) host.paths.push_back(std::to_wstring(i));
  PlaySelected(33000);
  EXPECT_EQ(player.PlayIndex, 33000);
  EXPECT_EQ(library.open, L"33000");
  PlaySelected(32767);
  player.Next();
  EXPECT_EQ(player.PlayIndex, 32768);
  EXPECT_EQ(library.open, L"32768");
  player.Previous();
  player.Previous();
  EXPECT_EQ(player.PlayIndex, 32766);
  EXPECT_EQ(library.open, L"32766");
  PlaySelected(40000);
  player.Next();  // wraps to the first entry, not to a negative one
  EXPECT_EQ(library.open, L"1");
  player.Previous();
  EXPECT_EQ(library.open, L"40000");
  EXPECT_TRUE(host.errors.empty());
}
