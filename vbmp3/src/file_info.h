// The library's records filled from a file, and tag records written to one:
// what vbmp3_getFileInfo2/getFileInfo/setTagInfo/getGenre do, shared by the
// DLL and the native probe so that both give the same answers.
#pragma once
#include <cstdint>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/file_io.h"

namespace vbmp3 {

// Fills the records from `file` (each may be null). The tag record is
// filled even when the stream is not recognised. Returns 0 or a VBMP3_ERR_
// number.
int32_t ReadFileInfo(RandomAccessFile& file, TagRecord* tag, StreamInfoRecord* info,
                     TagTextsRecord* texts);

// Writes `tag` as the file's ID3v1 tag. Returns 0 or a VBMP3_ERR_ number.
int32_t WriteTagInfo(RandomAccessFile& file, const TagRecord& tag);

// The calls of the C interface by path (ANSI bytes): return 1 or 0 and set
// the last error number.
int32_t GetFileInfo(const char* path, TagRecord* tag, StreamInfoRecord* info,
                    TagTextsRecord* texts);
int32_t SetTagInfo(const char* path, const TagRecord* tag);
// Fills GenreName from GenreNumber; 1 if the number has a name.
int32_t GetGenre(TagRecord* tag);

}  // namespace vbmp3
