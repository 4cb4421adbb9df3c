// The exports of VBMP3.dll for tags and stream data; paths and texts are
// ANSI code page bytes. Playback has its own exports.
#include <windows.h>

#include <atomic>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/file_info.h"
#include "vbmp3/src/format_records.h"
#include "vbmp3/src/id3v1/id3v1.h"
#include "vbmp3/src/last_error.h"
#include "vbmp3/src/tag_texts_write.h"
#include "vbmp3/src/whole_texts.h"
#ifdef VBMP3_HAVE_PLAYBACK
#include "vbmp3/playback/playback.h"
#endif

namespace {

// Cutting texts at character boundaries follows the system's code page.
bool IsSystemLeadByte(uint8_t b) { return IsDBCSLeadByte(b) != FALSE; }

std::atomic<bool> g_initialised{false};

}  // namespace

extern "C" {

int32_t VBMP3_CALL vbmp3_init(void) {
  vbmp3::SetLeadBytePredicate(&IsSystemLeadByte);
  g_initialised = true;
  vbmp3::SetLastErrorNo(VBMP3_ERR_NONE);
  return 1;
}

int32_t VBMP3_CALL vbmp3_free(void) {
#ifdef VBMP3_HAVE_PLAYBACK
  vbmp3::ShutdownPlayback();
#endif
  g_initialised = false;
  return 1;
}

int32_t VBMP3_CALL vbmp3_getFileInfo2(const char* path, TagRecord* tag, StreamInfoRecord* info,
                                      TagTextsRecord* texts) {
  return vbmp3::GetFileInfo(path, tag, info, texts);
}

int32_t VBMP3_CALL vbmp3_getFileInfo(const char* path, TagRecord* tag, StreamInfoRecord* info) {
  return vbmp3::GetFileInfo(path, tag, info, nullptr);
}

int32_t VBMP3_CALL vbmp3_setTagInfo(const char* path, const TagRecord* tag, int32_t reserved0,
                                    int32_t reserved1) {
  return vbmp3::SetTagInfo(path, tag);
}

int32_t VBMP3_CALL vbmp3_setTagTexts(const char* path, const TagTextsRecord* texts,
                                     int32_t options) {
  return vbmp3::SetTagTexts(path, texts, options);
}

int32_t VBMP3_CALL vbmp3_getFileInfoWhole(const char* path, TagRecord* tag, StreamInfoRecord* info,
                                          TagTextsRecord* texts, char* values, int32_t size,
                                          int32_t* needed) {
  return vbmp3::GetFileInfoWhole(path, tag, info, texts, values, size, needed);
}

int32_t VBMP3_CALL vbmp3_setTagTextsWhole(const char* path, const char* values, int32_t size,
                                          int32_t options) {
  return vbmp3::SetTagTextsWhole(path, values, size, options);
}

int32_t VBMP3_CALL vbmp3_getFormatInfo(const char* path, FormatInfoRecord* info) {
  return vbmp3::GetFormatInfo(path, info);
}

int32_t VBMP3_CALL vbmp3_getGenre(TagRecord* tag) { return vbmp3::GetGenre(tag); }

int32_t VBMP3_CALL vbmp3_getLastErrorNo(void) { return vbmp3::LastErrorNo(); }

}  // extern "C"
