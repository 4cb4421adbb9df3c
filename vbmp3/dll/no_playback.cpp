// Builds without the player still export its calls, failing cleanly.
#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/last_error.h"

extern "C" {

int32_t VBMP3_CALL vbmp3_open(const char* path, OpenInfoRecord* info) {
  vbmp3::SetLastErrorNo(VBMP3_ERR_NO_DECODER);
  return 0;
}
int32_t VBMP3_CALL vbmp3_play(void) {
  vbmp3::SetLastErrorNo(VBMP3_ERR_NOTHING_OPEN);
  return 0;
}
int32_t VBMP3_CALL vbmp3_stop(void) { return 1; }
int32_t VBMP3_CALL vbmp3_close(void) { return 1; }
int32_t VBMP3_CALL vbmp3_getState(int32_t* seconds) {
  if (seconds) *seconds = 0;
  return 0;
}

}  // extern "C"
