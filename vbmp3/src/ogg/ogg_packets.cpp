#include "vbmp3/src/ogg/ogg_packets.h"

namespace vbmp3 {

bool OggPacketReader::LoadNextPage() {
  for (;;) {
    size_t pageSize = 0;
    const OggPageStatus status = ReadOggPageAt(file_, offset_, page_, pageSize);
    if (status != OggPageStatus::Ok) {
      // Whatever was gathered of a packet belongs with the lost page.
      dropPartial_ = true;
      uint64_t next = 0;
      if (!FindNextOggPage(file_, offset_ + 1, next)) return false;
      offset_ = next;
      continue;
    }
    offset_ += pageSize;
    if (!haveSerial_) {
      serial_ = page_.serial;
      haveSerial_ = true;
    }
    if (page_.serial != serial_) continue;
    pageEnd_ = offset_;
    segment_ = 0;
    bodyAt_ = 0;
    return true;
  }
}

bool OggPacketReader::NextPacket(std::vector<uint8_t>& packet, size_t maxSize) {
  packet.clear();
  bool started = false;  // a segment of this packet has been read
  for (;;) {
    if (segment_ >= page_.lacing.size()) {
      if (!LoadNextPage()) return false;
      const bool continued = (page_.flags & kOggContinued) != 0;
      // A continuation without its start, or a start without its tail.
      if (dropPartial_ || (continued != started)) {
        packet.clear();
        started = false;
        dropPartial_ = false;
        if (continued) {
          while (segment_ < page_.lacing.size() && page_.lacing[segment_] == 255)
            bodyAt_ += page_.lacing[segment_++];
          if (segment_ < page_.lacing.size()) bodyAt_ += page_.lacing[segment_++];
          continue;
        }
      }
      // A page without segments carries nothing of any packet.
      if (page_.lacing.empty()) continue;
    }
    const size_t length = page_.lacing[segment_++];
    if (packet.size() + length > maxSize) return false;
    packet.insert(packet.end(), page_.body.begin() + bodyAt_,
                  page_.body.begin() + bodyAt_ + length);
    bodyAt_ += length;
    started = true;
    if (length < 255) {
      packetEnd_ = pageEnd_;
      return true;
    }
  }
}

std::vector<uint8_t> LacingForPacket(size_t size) {
  std::vector<uint8_t> lacing(size / 255, 255);
  lacing.push_back(static_cast<uint8_t>(size % 255));
  return lacing;
}

}  // namespace vbmp3
