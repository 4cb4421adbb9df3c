// The library's player: one file open at a time, played on its own thread.
#pragma once

namespace vbmp3 {

// Stops playback, closes the open file and releases the output device; the
// library calls it when it is released.
void ShutdownPlayback();

}  // namespace vbmp3
