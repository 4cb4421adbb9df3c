// Ogg Vorbis (.ogg, .oga) and Ogg Opus (.opus) files: the audio figures and
// the tag of the first logical stream, from its header pages and, for the
// length, the last page of that stream found by reading back from the end.
// A file with several streams gives its first stream.
#pragma once
#include "vbmp3/src/audio_properties.h"
#include "vbmp3/src/io/file_io.h"

namespace vbmp3 {

// format "Vorbis" or "Opus". False when the file is not one of them or its
// headers are damaged beyond reading.
bool ReadOggFile(RandomAccessFile& file, AudioProperties& properties, FormatTexts& texts);

// The granule position of the last good page of stream `serial`, searched
// for in the last pages of the file; false when there is none.
bool FindLastGranule(RandomAccessFile& file, uint32_t serial, uint64_t& granule);

}  // namespace vbmp3
