// Ogg files on any bytes: pages, packets across pages, the Vorbis and Opus
// headers and their comment, and the search for the last page; in memory
// and as a file on disk alike.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/vbmp3/read_from_disk.h"
#include "vbmp3/src/ogg/ogg_file.h"
#include "vbmp3/src/ogg/ogg_page.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vbmp3::OggPage page;
  size_t pageSize = 0;
  if (vbmp3::ParseOggPage(data, size, page, pageSize) == vbmp3::OggPageStatus::Ok) {
    if (pageSize > size || vbmp3::SerializeOggPage(page).size() != pageSize) abort();
  }
  vbmp3::MemoryFile file(data, size);
  vbmp3::AudioProperties properties;
  vbmp3::FormatTexts texts;
  const bool read = vbmp3::ReadOggFile(file, properties, texts);
  if (read) {
    if (properties.audioBytes > size || properties.channels <= 0 || properties.seconds < 0) abort();
  }
  fuzz::ExpectSameFromDisk(vbmp3::TagFormat::kOgg, data, size, read, properties, texts);
  return 0;
}
