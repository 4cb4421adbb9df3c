#include "vbmp3/src/mp4/mp4_file.h"

#include <vector>

#include "vbmp3/src/io/byte_order.h"
#include "vbmp3/src/io/preloaded_region.h"
#include "vbmp3/src/mp4/mp4_audio.h"
#include "vbmp3/src/mp4/mp4_box.h"
#include "vbmp3/src/mp4/mp4_ilst.h"

namespace vbmp3 {

namespace {

// Sample entries and headers are tens of bytes; anything beyond this is not
// one this reader needs.
constexpr uint64_t kSmallBoxLimit = 64 * 1024;
// A moov up to this size is read in one go (a long audiobook's sample
// tables take a few megabytes); a larger one is walked box by box.
constexpr uint64_t kPreloadedMoovLimit = 16 * 1024 * 1024;

struct TopLevel {
  Mp4Box moov;
  bool hasMoov = false;
  uint64_t mdatPayload = 0;
};

bool WalkTopLevel(RandomAccessFile& file, TopLevel& top) {
  BoxWalker walker(file, WholeFile(file));
  Mp4Box box;
  bool first = true;
  while (walker.Next(box)) {
    if (first && box.type != BoxType("ftyp")) return false;
    first = false;
    if (box.type == BoxType("moov") && !top.hasMoov) {
      top.moov = box;
      top.hasMoov = true;
    } else if (box.type == BoxType("mdat")) {
      top.mdatPayload += box.BodySize();
    }
  }
  return !walker.Damaged() && top.hasMoov;
}

bool IsSoundTrack(RandomAccessFile& file, const Mp4Box& mdia) {
  Mp4Box hdlr;
  uint8_t head[12];
  if (!FindChild(file, mdia, BoxType("hdlr"), hdlr) || hdlr.BodySize() < 12 ||
      !ReadBytesAt(file, hdlr.BodyOffset(), head, sizeof head))
    return true;  // no handler to say otherwise: the sample entry decides
  return ReadBE32(head + 8) == BoxType("soun");
}

bool ReadSampleEntry(RandomAccessFile& file, const Mp4Box& stbl, AudioProperties& p) {
  Mp4Box stsd, entry;
  if (!FindChild(file, stbl, BoxType("stsd"), stsd)) return false;
  stsd.childOffset = stsd.BodySize() >= 8 ? 8 : 0;  // version, flags, entry count
  BoxWalker entries(file, stsd);
  std::vector<uint8_t> body;
  if (!entries.Next(entry) || !ReadBody(file, entry, kSmallBoxLimit, body)) return false;
  return ParseAudioSampleEntry(entry.type, body.data(), body.size(), p);
}

bool DurationOf(RandomAccessFile& file, const Mp4Box& parent, uint32_t type, double& seconds) {
  Mp4Box header;
  std::vector<uint8_t> body;
  uint32_t timescale = 0;
  uint64_t duration = 0;
  if (!FindChild(file, parent, type, header) || !ReadBody(file, header, kSmallBoxLimit, body) ||
      !ParseMediaHeader(body.data(), body.size(), timescale, duration) || timescale == 0 ||
      duration == 0 || duration == UINT64_MAX || duration == UINT32_MAX)
    return false;
  seconds = static_cast<double>(duration) / timescale;
  return true;
}

// The sum of the sample sizes in stsz, read a block at a time.
bool SumSampleSizes(RandomAccessFile& file, const Mp4Box& stbl, uint64_t& total) {
  Mp4Box stsz;
  uint8_t head[12];
  if (!FindChild(file, stbl, BoxType("stsz"), stsz) || stsz.BodySize() < 12 ||
      !ReadBytesAt(file, stsz.BodyOffset(), head, sizeof head))
    return false;
  const uint64_t sampleSize = ReadBE32(head + 4), count = ReadBE32(head + 8);
  if (count == 0) return false;
  if (sampleSize != 0) {
    total = sampleSize * count;
    return true;
  }
  if (count > (stsz.BodySize() - 12) / 4) return false;
  std::vector<uint8_t> block(static_cast<size_t>(count < 16384 ? count * 4 : 65536));
  total = 0;
  for (uint64_t done = 0; done < count;) {
    const uint64_t n = count - done < block.size() / 4 ? count - done : block.size() / 4;
    if (!ReadBytesAt(file, stsz.BodyOffset() + 12 + done * 4, block.data(), n * 4)) return false;
    for (uint64_t i = 0; i < n; ++i) total += ReadBE32(block.data() + i * 4);
    done += n;
  }
  return true;
}

bool ReadAudioTrack(RandomAccessFile& file, const Mp4Box& trak, AudioProperties& p) {
  std::vector<Mp4Box> path;
  if (!FindPath(file, trak, {BoxType("mdia"), BoxType("minf"), BoxType("stbl")}, path) ||
      !IsSoundTrack(file, path[0]))
    return false;
  AudioProperties found;
  if (!ReadSampleEntry(file, path[2], found)) return false;
  DurationOf(file, path[0], BoxType("mdhd"), found.seconds);
  SumSampleSizes(file, path[2], found.audioBytes);
  p = found;
  return true;
}

void ReadAudio(RandomAccessFile& file, const TopLevel& top, AudioProperties& p) {
  BoxWalker walker(file, top.moov);
  Mp4Box trak;
  while (walker.Next(trak))
    if (trak.type == BoxType("trak") && ReadAudioTrack(file, trak, p)) break;
  if (p.seconds <= 0) DurationOf(file, top.moov, BoxType("mvhd"), p.seconds);
  // Sample sizes that claim more than the file holds are damage, not audio.
  if (p.audioBytes == 0 || p.audioBytes > file.Size()) p.audioBytes = top.mdatPayload;
}

}  // namespace

bool ReadMp4File(RandomAccessFile& file, AudioProperties& properties, FormatTexts& texts) {
  properties = {};
  texts = {};
  TopLevel top;
  if (!WalkTopLevel(file, top)) return false;
  PreloadedRegion moov(file, top.moov.offset,
                       top.moov.size <= kPreloadedMoovLimit ? top.moov.End() : top.moov.offset);
  std::vector<Mp4Box> path;
  if (FindPath(moov, top.moov, {BoxType("udta"), BoxType("meta"), BoxType("ilst")}, path))
    ReadIlstTexts(moov, path.back(), texts);
  ReadAudio(moov, top, properties);
  return true;
}

}  // namespace vbmp3
