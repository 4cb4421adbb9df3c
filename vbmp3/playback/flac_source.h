// FLAC files as PCM for the player, through the library's own decoder.
#pragma once
#include <memory>

#include "vbmp3/playback/pcm_source.h"
#include "vbmp3/src/io/file_io.h"

namespace vbmp3::playback {

// A source for `file` when it is a FLAC stream (maybe behind an ID3v2 tag),
// else null with `error` 0; a FLAC file whose STREAMINFO cannot be used
// gives null and VBMP3_ERR_NO_DECODER. `stream` (may be null) receives the
// channels, rate, length and file size.
std::unique_ptr<PcmSource> OpenFlacSource(std::unique_ptr<RandomAccessFile>& file,
                                          AudioStream* stream, int32_t& error);

}  // namespace vbmp3::playback
