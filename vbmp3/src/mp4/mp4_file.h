// MP4 audio files (.m4a, .m4b): the iTunes-style tag in moov/udta/meta/ilst
// and the first audio track's figures, found by walking the top-level boxes
// with seeks (mdat is never read, wherever moov is).
#pragma once
#include "vbmp3/src/audio_properties.h"
#include "vbmp3/src/io/file_io.h"

namespace vbmp3 {

// False when the file is not an MP4 file (its first box is not ftyp, or
// there is no moov) or its top-level boxes are damaged (a size past the end
// of the file or smaller than its header): nothing is then given. Damage
// inside moov only ends the walk of the box it is in. A file without an
// audio track gives its texts and an empty format. Fragmented files give
// what moov says (their length may be 0); protected AAC (drms, enca) gives
// its texts and the format "AAC". audioBytes: the sum of the track's sample
// sizes, else the payload of the mdat boxes.
bool ReadMp4File(RandomAccessFile& file, AudioProperties& properties, FormatTexts& texts);

}  // namespace vbmp3
