#include "vbmp3/src/last_error.h"

#include <atomic>

namespace vbmp3 {
namespace {

// Atomic so that the player's own thread may report too without a lock.
std::atomic<int32_t> g_lastError{0};

}  // namespace

void SetLastErrorNo(int32_t number) { g_lastError.store(number, std::memory_order_relaxed); }

int32_t LastErrorNo() { return g_lastError.load(std::memory_order_relaxed); }

}  // namespace vbmp3
