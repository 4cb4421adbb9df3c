// The number vbmp3_getLastErrorNo reports: one store for the whole library,
// written by the tag and stream calls and by the player.
#pragma once
#include <cstdint>

namespace vbmp3 {

// Records the outcome of the latest call (a VBMP3_ERR_ number, 0 for none).
void SetLastErrorNo(int32_t number);
int32_t LastErrorNo();

}  // namespace vbmp3
