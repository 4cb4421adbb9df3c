// One Ogg page: a 27-byte header (capture pattern "OggS", version 0, flags,
// granule position, stream serial, page sequence, CRC), a table of up to
// 255 lacing values and the body they measure. Pages are parsed from bytes
// and serialized back, so a writer can re-lay pages with new sequence
// numbers and CRCs.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "vbmp3/src/io/file_io.h"

namespace vbmp3 {

constexpr size_t kOggPageHeaderSize = 27;
// The largest page there can be: a full segment table of full segments.
constexpr size_t kOggMaxPageSize = kOggPageHeaderSize + 255 + 255 * 255;

enum OggPageFlags : uint8_t {
  kOggContinued = 0x01,  // the first packet began on an earlier page
  kOggFirstPage = 0x02,  // beginning of a logical stream
  kOggLastPage = 0x04,   // end of a logical stream
};

struct OggPage {
  uint8_t flags = 0;
  uint64_t granule = 0;  // all ones: no packet ends on this page
  uint32_t serial = 0;
  uint32_t sequence = 0;
  std::vector<uint8_t> lacing;  // the segment table
  std::vector<uint8_t> body;
};

// The Ogg CRC-32: polynomial 0x04C11DB7, not reflected, initial value 0,
// no final inversion.
uint32_t OggCrc(const uint8_t* data, size_t size, uint32_t crc = 0);

enum class OggPageStatus { Ok, NotAPage, Truncated, BadCrc };

// Parses the page that starts at data. NotAPage: no "OggS" or a version
// other than 0; Truncated: the bytes end inside the page; BadCrc: the page
// is whole but its CRC does not match. `size_out` is the page's length
// whenever its header and table could be read.
OggPageStatus ParseOggPage(const uint8_t* data, size_t size, OggPage& page, size_t& size_out);

// The page's bytes with its CRC computed.
std::vector<uint8_t> SerializeOggPage(const OggPage& page);

// Reads and checks the page at offset in file. `size_out` as above.
OggPageStatus ReadOggPageAt(RandomAccessFile& file, uint64_t offset, OggPage& page,
                            size_t& size_out);

// The offset of the next page with a matching CRC at or after offset, read
// in blocks; false when there is none before the end.
bool FindNextOggPage(RandomAccessFile& file, uint64_t offset, uint64_t& found);

}  // namespace vbmp3
