#include "audio/player/player.h"

namespace {
constexpr const wchar_t* kStopped = L"停止";
}

std::wstring Player::MinutesSeconds(int32_t seconds) {
  if (seconds < 0) seconds = 0;
  std::wstring ss = std::to_wstring(seconds % 60);
  if (ss.size() < 2) ss.insert(0, 1, L'0');
  return std::to_wstring(seconds / 60) + L":" + ss;
}

std::wstring Player::StatusText(const std::wstring& title, int32_t position, int32_t total) {
  return L"再生中 - " + title + L" - " + MinutesSeconds(position) + L"/" + MinutesSeconds(total) +
         L" ";
}

void Player::ShowMessage(const std::wstring& text) {
  bool wasOpen = messageOpen_;
  messageOpen_ = true;
  host_.ShowPlayError(text);
  messageOpen_ = wasOpen;
}

void Player::ShowPlayError() {
  ShowMessage(L"再生エラー：" + std::to_wstring(library_.LastErrorNo()));
}

int Player::PlayFile(const std::wstring& path) {
  library_.Close();
  std::wstring title, problem;
  int32_t total = 0;
  if (!library_.Open(path, title, total, problem)) {
    if (problem.empty()) {
      ShowPlayError();
    } else {
      ShowMessage(problem);
    }
    return 0;
  }
  bool playing = library_.Play();
  PlayTotalSeconds = total;
  PlayTitle = title;
  // A file that opens but cannot start (no output device) says so like one
  // that cannot be opened: silence looks like an ignored double click.
  if (!playing) ShowPlayError();
  return playing ? 1 : 0;
}

void Player::Play() {
  int selected = host_.SelectedPosition();
  if (host_.EntryCount() == 0 || selected == 0) return;
  PlayIndex = selected;
  if (PlayFile(host_.SourcePath(PlayIndex)) == 0) Stop();
  host_.SetPlayerTimer(true);
}

void Player::Stop() {
  host_.SetPlayerTimer(false);
  library_.Stop();
  library_.Close();
  host_.SetPlayerStatus(kStopped);
}

int Player::Step(int direction) const {
  int count = host_.EntryCount();
  if (PlayIndex < 1 || PlayIndex > count) return direction > 0 ? 1 : count;
  if (direction > 0) return PlayIndex == count ? 1 : PlayIndex + 1;
  return PlayIndex == 1 ? count : PlayIndex - 1;
}

void Player::Advance(int direction) {
  if (host_.EntryCount() == 0) {
    // Nothing left to play: the list was emptied while a file played.
    Stop();
    return;
  }
  PlayIndex = Step(direction);
  library_.Close();
  PlayFile(host_.SourcePath(PlayIndex));
}

void Player::Next() {
  int32_t seconds = 0;
  if (library_.GetState(seconds) == 1) Advance(+1);
}

void Player::Previous() {
  int32_t seconds = 0;
  if (library_.GetState(seconds) == 1) Advance(-1);
}

void Player::Tick() {
  // A tick inside one of our own message boxes waits for the box: the user
  // answers one failure before the next entry is tried.
  if (messageOpen_) return;
  int32_t position = 0;
  if (library_.GetState(position) == 1) {
    host_.SetPlayerStatus(StatusText(PlayTitle, position, PlayTotalSeconds));
    return;
  }
  if (library_.GetState(position) != 0) return;
  if (host_.ContinuousPlay()) {
    Advance(+1);
  } else {
    Stop();
  }
}

void Player::BeforeRemove(int position, int count) {
  if (count == 1) {
    Stop();
  } else if (position < PlayIndex) {
    PlayIndex = -1;
  } else if (position == PlayIndex) {
    Stop();
  }
}

void Player::BeforeRemove(const std::vector<int>& ascendingPositions, int count) {
  // The last first: every position still names its entry when its rule runs,
  // and the count is the list's at that removal.
  for (auto at = ascendingPositions.rbegin(); at != ascendingPositions.rend(); ++at)
    BeforeRemove(*at, count--);
}

void Player::Reordered(const std::vector<int>& newPositionOf) {
  if (PlayIndex >= 1 && PlayIndex <= static_cast<int>(newPositionOf.size()))
    PlayIndex = newPositionOf[static_cast<size_t>(PlayIndex - 1)];
}
