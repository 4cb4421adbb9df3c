// Where a file keeps its ID3v1 tag, and replacing it without touching a
// single audio byte.
//
// MPEG files: the last 128 bytes. RIFF files (.rmp, .wav): a chunk "TAG "
// of 128 bytes holding the tag, written as the form's last chunk (the RIFF
// size grows by 136), so the file stays valid RIFF for other players and
// its last 128 bytes are still an ID3v1 tag for readers that only look
// there. A raw tag that an older tool appended after the RIFF form is read
// too, and turned into the chunk when the tag is written.
#pragma once
#include <cstdint>

#include "vbmp3/src/io/byte_window.h"
#include "vbmp3/src/io/file_io.h"
#include "vbmp3/src/id3v1/id3v1.h"
#include "vbmp3/src/id3v2/id3v2_tag.h"

namespace vbmp3 {

struct TagPlace {
  bool riff = false;       // the file is a RIFF form
  bool found = false;      // a tag exists at `offset`
  uint64_t offset = 0;     // of the 128 tag bytes
  bool inChunk = false;    // the tag is the payload of a "TAG " chunk
  uint64_t riffEnd = 0;    // RIFF: end of the form as declared, padded to even
  uint32_t riffSize = 0;   // RIFF: the size field as read
  uint64_t chunksEnd = 0;  // RIFF: where the chunks end as their sizes declare (padded)
};

// Finds the ID3v1 tag of the file behind `bytes`.
TagPlace FindTag(ByteWindow& bytes);

// Reads the file's tag into `tag`. False when it has none.
bool ReadTag(ByteWindow& bytes, Id3v1Tag& tag);

// Reads the ID3v2 tag at the start of the file, as far as the file holds
// it. False when there is none of version 2.2-2.4.
bool ReadId3v2(ByteWindow& bytes, Id3v2Tag& tag);

// Replaces the file's tag by `tag`, or adds one, keeping an existing
// ID3v1.1 track number. The file must already be known to be audio. Returns
// 0 or VBMP3_ERR_WRITE / VBMP3_ERR_READ; after a failure the file is as it
// was (as far as the file system lets a restore succeed).
int32_t WriteTag(RandomAccessFile& file, const Id3v1Tag& tag);

}  // namespace vbmp3
