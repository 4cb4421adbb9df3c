// Files whose tags are not ID3: FLAC, MP4 (AAC, ALAC) and Ogg (Vorbis,
// Opus). Which reader a file is for is told by its first bytes, as MPEG and
// WAV files are told by theirs, whatever the file's name says.
#pragma once
#include <cstddef>

#include "vbmp3/src/audio_properties.h"
#include "vbmp3/src/io/byte_window.h"
#include "vbmp3/src/io/file_io.h"

namespace vbmp3 {

enum class TagFormat { kNone, kFlac, kMp4, kOgg };

// How much of a file's start these readers take in one read: their headers
// and tags, and the whole of a small file.
constexpr size_t kTagFormatHeadBytes = 64 * 1024;

// The format the file starts with; FLAC also after ID3v2 tags some tools
// put in front of its marker. kNone for MPEG, WAV and everything else.
TagFormat RecogniseTagFormat(ByteWindow& bytes);

// Whether `file` is one of these formats; their tags are never written as
// ID3 tags, which would damage them or go unread.
bool IsTagFormatFile(RandomAccessFile& file);

// Reads a file of `format`; false when it is damaged beyond reading.
// `window`, when given, is one over `file` whose bytes at the start are
// used rather than read again.
bool ReadTagFormatFile(TagFormat format, RandomAccessFile& file, AudioProperties& properties,
                       FormatTexts& texts, const ByteWindow* window = nullptr);

}  // namespace vbmp3
