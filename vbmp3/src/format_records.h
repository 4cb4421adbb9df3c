// The records of the C interface for FLAC, MP4 and Ogg files, filled from
// what their readers give: the same records, with the same meaning, as for
// an MPEG file with an ID3v2 tag and no ID3v1 tag.
#pragma once
#include <cstdint>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/audio_properties.h"
#include "vbmp3/src/file_info.h"

namespace vbmp3 {

// Each record may be null; every one given is filled whole.
void PutFormatRecords(const AudioProperties& properties, const FormatTexts& texts,
                      uint64_t fileSize, TagRecord* tag, StreamInfoRecord* info,
                      TagTextsRecord* record, Id3v2Values* values, CollectionTexts* collection);

// vbmp3_getFormatInfo by path (ANSI bytes): 1 or 0, and the last error number.
int32_t GetFormatInfo(const char* path, FormatInfoRecord* info);

}  // namespace vbmp3
