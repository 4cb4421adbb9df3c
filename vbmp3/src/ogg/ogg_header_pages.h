// The pages that carry an Ogg Vorbis or Opus stream's comment packet and
// the header packets after it (the Vorbis setup), read from a file and laid
// out anew around a new comment packet. Whatever else shares the first or
// last of those pages (the identification packet before, audio after) stays
// on the first or last new page, so the pages around them still fit.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "vbmp3/src/io/file_io.h"

namespace vbmp3 {

struct OggSegments {
  std::vector<uint8_t> lacing;
  std::vector<uint64_t> granules;  // for a value that ends a packet: its page's granule
  std::vector<uint8_t> bytes;
};

struct OggHeaderPages {
  uint64_t start = 0, end = 0;  // the file's bytes the pages take
  size_t pageCount = 0;
  uint32_t serial = 0, firstSequence = 0;
  uint8_t firstFlags = 0, lastFlags = 0;
  bool vorbis = false;
  std::vector<uint8_t> identification;
  // The comment packet, then the setup for Vorbis, each with the granule
  // of the page it ended on.
  std::vector<std::vector<uint8_t>> packets;
  std::vector<uint64_t> packetGranules;
  OggSegments head, tail;  // what precedes and follows them on their pages
  std::vector<size_t> segmentsPerPage;
};

// Reads the stream's first pages. 0, VBMP3_ERR_OGG_STREAMS when a page of
// another stream comes among them, VBMP3_ERR_NOT_AUDIO when they are not a
// stream's whole, undamaged header pages, VBMP3_ERR_READ.
int32_t ReadOggHeaderPages(RandomAccessFile& file, OggHeaderPages& out);

// The pages that carry `packets` in place of the old ones: with the old
// layout when each packet is as long as before, else in pages of about
// 4 KB. Numbered from the first old page's sequence; `pageCount` is set.
std::vector<uint8_t> LayOggHeaderPages(const OggHeaderPages& old,
                                       const std::vector<std::vector<uint8_t>>& packets,
                                       size_t& pageCount);

}  // namespace vbmp3
