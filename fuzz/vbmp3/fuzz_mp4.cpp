// MP4 files on any bytes: the box walk (64-bit sizes, sizes to the end,
// boxes past their parent), the ilst items and their data boxes, the
// sample entries with their esds and ALAC cookie, the media headers; in
// memory and as a file on disk alike.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/vbmp3/read_from_disk.h"
#include "vbmp3/src/mp4/mp4_audio.h"
#include "vbmp3/src/mp4/mp4_box.h"
#include "vbmp3/src/mp4/mp4_file.h"
#include "vbmp3/src/text/unicode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The pure parsers straight on the bytes, where the file walk would seldom
  // reach them with arbitrary contents.
  vbmp3::AudioProperties entry;
  vbmp3::ParseAudioSampleEntry(vbmp3::BoxType("mp4a"), data, size, entry);
  vbmp3::ParseAudioSampleEntry(vbmp3::BoxType("alac"), data, size, entry);
  vbmp3::AacConfig config;
  vbmp3::ParseEsds(data, size, config);

  vbmp3::MemoryFile file(data, size);
  vbmp3::AudioProperties properties;
  vbmp3::FormatTexts texts;
  const bool read = vbmp3::ReadMp4File(file, properties, texts);
  fuzz::ExpectSameFromDisk(vbmp3::TagFormat::kMp4, data, size, read, properties, texts);
  if (read) {
    if (properties.audioBytes > size || properties.channels < 0 || properties.seconds < 0 ||
        properties.samplingRate < 0)
      abort();
  }
  // Whatever the bytes, the texts handed over are valid UTF-8.
  for (const std::string* text :
       {&texts.title, &texts.artist, &texts.album, &texts.year, &texts.comment, &texts.genre,
        &texts.track, &texts.albumArtist, &texts.disc})
    if (vbmp3::ValidUtf8(*text) != *text) abort();
  return 0;
}
