// The packets of one logical Ogg stream, read page by page from a file. The
// lacing values of a page cut its body into segments; a segment shorter
// than 255 bytes ends a packet, so packets may run across pages. Pages of
// other streams are passed over; a damaged page (its CRC does not match) is
// passed over too, reading on at the next good page, and the packet it cut
// is dropped rather than glued to the wrong bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "vbmp3/src/io/file_io.h"
#include "vbmp3/src/ogg/ogg_page.h"

namespace vbmp3 {

class OggPacketReader {
 public:
  // Reads the stream of the first good page at or after offset.
  explicit OggPacketReader(RandomAccessFile& file, uint64_t offset = 0)
      : file_(file), offset_(offset) {}

  // The next whole packet; false at the end of the file or when a packet
  // would be longer than maxSize.
  bool NextPacket(std::vector<uint8_t>& packet, size_t maxSize);

  uint32_t Serial() const { return serial_; }
  // The end of the page the last packet returned ended on.
  uint64_t PacketEnd() const { return packetEnd_; }

 private:
  bool LoadNextPage();

  RandomAccessFile& file_;
  uint64_t offset_;
  uint64_t pageEnd_ = 0;
  uint64_t packetEnd_ = 0;
  bool haveSerial_ = false;
  uint32_t serial_ = 0;
  OggPage page_;
  size_t segment_ = 0;  // the next lacing value of page_ to read
  size_t bodyAt_ = 0;   // where that segment starts in page_.body
  bool dropPartial_ = false;
};

// The lacing values that carry a packet of `size` bytes.
std::vector<uint8_t> LacingForPacket(size_t size);

}  // namespace vbmp3
