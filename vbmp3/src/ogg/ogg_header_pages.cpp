#include "vbmp3/src/ogg/ogg_header_pages.h"

#include <algorithm>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/ogg/ogg_packets.h"
#include "vbmp3/src/ogg/ogg_page.h"

namespace vbmp3 {
namespace {

// A comment packet may hold cover art; beyond this it is damage.
constexpr size_t kMaxHeaderBytes = 64u << 20;
// Full segments a new page holds unless more must share it: about 4 KB, as
// the encoders lay their pages.
constexpr size_t kSegmentsPerPage = 16;

struct HeaderWalk {
  explicit HeaderWalk(OggHeaderPages& pages) : out(pages) {}
  OggHeaderPages& out;
  size_t packetsWanted = 1;  // known once the identification packet is read
  size_t packet = 0;         // the packet the next segment belongs to
  std::vector<uint8_t> current;
  bool inRegion = false;
  bool done = false;
  bool midPacket = false;
  size_t bytes = 0;
};

void AppendSegments(OggSegments& to, const OggPage& page, size_t from, size_t to_, size_t bodyAt) {
  for (size_t i = from; i < to_; ++i) {
    to.lacing.push_back(page.lacing[i]);
    to.granules.push_back(page.granule);
    to.bytes.insert(to.bytes.end(), page.body.begin() + static_cast<std::ptrdiff_t>(bodyAt),
                    page.body.begin() + static_cast<std::ptrdiff_t>(bodyAt + page.lacing[i]));
    bodyAt += page.lacing[i];
  }
}

void BeginRegion(HeaderWalk& w, const OggPage& page, uint64_t offset, size_t segment) {
  w.inRegion = true;
  w.out.start = offset;
  w.out.firstSequence = page.sequence;
  w.out.firstFlags = page.flags;
  AppendSegments(w.out.head, page, 0, segment, 0);
}

void EndPacket(HeaderWalk& w, const OggPage& page) {
  if (w.packet == 0) {
    w.out.identification = std::move(w.current);
    w.out.vorbis = !w.out.identification.empty() && w.out.identification[0] == 1;
    w.packetsWanted = w.out.vorbis ? 3 : 2;
  } else {
    w.out.packets.push_back(std::move(w.current));
    w.out.packetGranules.push_back(page.granule);
  }
  w.current.clear();
  w.done = ++w.packet == w.packetsWanted;
}

// Takes one page's segments; false when the page cannot belong there.
bool TakePage(HeaderWalk& w, const OggPage& page, uint64_t offset, size_t size) {
  if (((page.flags & kOggContinued) != 0) != w.midPacket) return false;
  if (!w.inRegion && w.packet >= 1) BeginRegion(w, page, offset, 0);
  size_t bodyAt = 0;
  for (size_t i = 0; i < page.lacing.size(); ++i) {
    if (!w.inRegion && w.packet >= 1) BeginRegion(w, page, offset, i);
    if (w.done) {
      AppendSegments(w.out.tail, page, i, page.lacing.size(), bodyAt);
      break;
    }
    const uint8_t length = page.lacing[i];
    if ((w.bytes += length) > kMaxHeaderBytes) return false;
    w.current.insert(w.current.end(), page.body.begin() + static_cast<std::ptrdiff_t>(bodyAt),
                     page.body.begin() + static_cast<std::ptrdiff_t>(bodyAt + length));
    bodyAt += length;
    w.midPacket = length == 255;
    if (length < 255) EndPacket(w, page);
  }
  if (w.inRegion) {
    ++w.out.pageCount;
    w.out.segmentsPerPage.push_back(page.lacing.size());
    w.out.end = offset + size;
    w.out.lastFlags = page.flags;
  }
  return true;
}

std::vector<size_t> NewLayout(size_t total, size_t head, size_t tail) {
  std::vector<size_t> counts;
  for (size_t at = 0; at < total;) {
    size_t take = std::min(std::max(kSegmentsPerPage, at == 0 ? head : 0), total - at);
    // The tail must end the last page, whole.
    if (at + take > total - tail) take = total - at <= 255 ? total - at : total - tail - at;
    counts.push_back(take);
    at += take;
  }
  return counts;
}

void AppendSegmentsOf(OggSegments& to, const OggSegments& from) {
  to.lacing.insert(to.lacing.end(), from.lacing.begin(), from.lacing.end());
  to.granules.insert(to.granules.end(), from.granules.begin(), from.granules.end());
  to.bytes.insert(to.bytes.end(), from.bytes.begin(), from.bytes.end());
}

}  // namespace

int32_t ReadOggHeaderPages(RandomAccessFile& file, OggHeaderPages& out) {
  out = {};
  uint64_t offset = 0;
  if (!FindNextOggPage(file, 0, offset)) return VBMP3_ERR_NOT_AUDIO;
  HeaderWalk walk{out};
  for (bool first = true; !walk.done; first = false) {
    OggPage page;
    size_t size = 0;
    if (ReadOggPageAt(file, offset, page, size) != OggPageStatus::Ok) return VBMP3_ERR_NOT_AUDIO;
    if (first) out.serial = page.serial;
    if (page.serial != out.serial || (!first && (page.flags & kOggFirstPage)))
      return VBMP3_ERR_OGG_STREAMS;
    if (first != ((page.flags & kOggFirstPage) != 0)) return VBMP3_ERR_NOT_AUDIO;
    if (!TakePage(walk, page, offset, size)) return VBMP3_ERR_NOT_AUDIO;
    offset += size;
  }
  return VBMP3_ERR_NONE;
}

std::vector<uint8_t> LayOggHeaderPages(const OggHeaderPages& old,
                                       const std::vector<std::vector<uint8_t>>& packets,
                                       size_t& pageCount) {
  OggSegments all = old.head;
  bool sameSizes = packets.size() == old.packets.size();
  for (size_t k = 0; k < packets.size(); ++k) {
    sameSizes = sameSizes && packets[k].size() == old.packets[k].size();
    const std::vector<uint8_t> lacing = LacingForPacket(packets[k].size());
    const uint64_t granule = k < old.packetGranules.size() ? old.packetGranules[k] : 0;
    all.lacing.insert(all.lacing.end(), lacing.begin(), lacing.end());
    all.granules.insert(all.granules.end(), lacing.size(), granule);
    all.bytes.insert(all.bytes.end(), packets[k].begin(), packets[k].end());
  }
  AppendSegmentsOf(all, old.tail);
  const std::vector<size_t> counts =
      sameSizes ? old.segmentsPerPage
                : NewLayout(all.lacing.size(), old.head.lacing.size(), old.tail.lacing.size());
  std::vector<uint8_t> out;
  size_t at = 0, bodyAt = 0;
  for (size_t i = 0; i < counts.size(); ++i) {
    OggPage page;
    page.serial = old.serial;
    page.sequence = old.firstSequence + static_cast<uint32_t>(i);
    // The old layout may begin with pages that carry no segment.
    const bool continued =
        at == 0 ? (old.firstFlags & kOggContinued) != 0 : all.lacing[at - 1] == 255;
    page.flags = static_cast<uint8_t>((i == 0 ? old.firstFlags & kOggFirstPage : 0) |
                                      (continued ? kOggContinued : 0));
    if (i + 1 == counts.size()) page.flags |= old.lastFlags & kOggLastPage;
    page.granule = ~uint64_t{0};
    const size_t bodyStart = bodyAt;
    for (size_t s = at; s < at + counts[i]; ++s) {
      page.lacing.push_back(all.lacing[s]);
      if (all.lacing[s] < 255) page.granule = all.granules[s];
      bodyAt += all.lacing[s];
    }
    page.body.assign(all.bytes.begin() + static_cast<std::ptrdiff_t>(bodyStart),
                     all.bytes.begin() + static_cast<std::ptrdiff_t>(bodyAt));
    at += counts[i];
    const std::vector<uint8_t> bytes = SerializeOggPage(page);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  pageCount = counts.size();
  return out;
}

}  // namespace vbmp3
