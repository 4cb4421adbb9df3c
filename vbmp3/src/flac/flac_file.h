// FLAC files (.flac): the audio figures from the STREAMINFO block and the
// tag from the VORBIS_COMMENT block, read by walking the metadata blocks.
#pragma once
#include "vbmp3/src/audio_properties.h"
#include "vbmp3/src/io/file_io.h"

namespace vbmp3 {

// format "FLAC"; audioBytes from the first frame to the end of the file,
// less an ID3v1 tag there. A file without a comment block gives empty texts.
// False when the file is not FLAC or is damaged: no STREAMINFO first, a
// block past the end of the file, a comment block that does not parse.
bool ReadFlacFile(RandomAccessFile& file, AudioProperties& properties, FormatTexts& texts);

}  // namespace vbmp3
