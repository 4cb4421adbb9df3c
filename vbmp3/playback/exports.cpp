// The player's part of the library's C interface.
#include <cstring>
#include <mutex>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/playback/playback.h"
#include "vbmp3/playback/player.h"
#include "vbmp3/playback/title.h"
#include "vbmp3/src/last_error.h"

namespace vbmp3 {
namespace {

// Callers use the library from one thread, but nothing stops a second one;
// the lock keeps the player consistent if they do.
std::mutex& PlayerLock() {
  static std::mutex lock;
  return lock;
}

playback::Player*& ThePlayer() {
  static playback::Player* player = nullptr;
  return player;
}

playback::Player& GetPlayer() {
  playback::Player*& player = ThePlayer();
  if (!player) player = new playback::Player();
  return *player;
}

int32_t Fail(int32_t number) {
  SetLastErrorNo(number);
  return 0;
}

int32_t Succeed() {
  SetLastErrorNo(VBMP3_ERR_NONE);
  return 1;
}

}  // namespace

void ShutdownPlayback() {
  std::lock_guard<std::mutex> lock(PlayerLock());
  playback::Player*& player = ThePlayer();
  delete player;  // stops the thread and releases the device
  player = nullptr;
}

}  // namespace vbmp3

using vbmp3::Fail;
using vbmp3::Succeed;

extern "C" {

VBMP3_API int32_t VBMP3_CALL vbmp3_open(const char* path, OpenInfoRecord* info) {
  if (!path || !*path || !info) return Fail(VBMP3_ERR_BAD_ARGUMENT);
  std::lock_guard<std::mutex> lock(vbmp3::PlayerLock());
  vbmp3::playback::Player& player = vbmp3::GetPlayer();
  vbmp3::AudioStream stream;
  const int32_t error = player.Open(path, &stream);
  if (error != 0) return Fail(error);
  std::memset(info, 0, sizeof(*info));
  static_assert(sizeof(info->Title) == sizeof(info->Artist));
  vbmp3::playback::ReadTagTexts(path, info->Title, info->Artist, sizeof(info->Title));
  info->TotalSeconds =
      static_cast<int32_t>(stream.totalSeconds > INT32_MAX ? INT32_MAX : stream.totalSeconds);
  return Succeed();
}

VBMP3_API int32_t VBMP3_CALL vbmp3_play(void) {
  std::lock_guard<std::mutex> lock(vbmp3::PlayerLock());
  const int32_t error = vbmp3::GetPlayer().Play();
  return error ? Fail(error) : Succeed();
}

VBMP3_API int32_t VBMP3_CALL vbmp3_stop(void) {
  std::lock_guard<std::mutex> lock(vbmp3::PlayerLock());
  if (vbmp3::playback::Player* player = vbmp3::ThePlayer()) player->Stop();
  return Succeed();
}

VBMP3_API int32_t VBMP3_CALL vbmp3_close(void) {
  std::lock_guard<std::mutex> lock(vbmp3::PlayerLock());
  if (vbmp3::playback::Player* player = vbmp3::ThePlayer()) player->Close();
  return Succeed();
}

VBMP3_API int32_t VBMP3_CALL vbmp3_getState(int32_t* seconds) {
  std::lock_guard<std::mutex> lock(vbmp3::PlayerLock());
  int32_t position = 0;
  int32_t state = 0;
  if (vbmp3::playback::Player* player = vbmp3::ThePlayer()) state = player->State(position);
  if (seconds) *seconds = position;
  return state;
}

}  // extern "C"
