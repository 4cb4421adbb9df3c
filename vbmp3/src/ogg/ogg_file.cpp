#include "vbmp3/src/ogg/ogg_file.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "vbmp3/src/ogg/codec_headers.h"
#include "vbmp3/src/ogg/ogg_packets.h"

namespace vbmp3 {
namespace {

// A comment packet may hold cover art; beyond this it is damage.
constexpr size_t kMaxHeaderPacket = 64u << 20;

double Seconds(uint64_t granule, uint64_t skip, uint32_t rate) {
  if (rate == 0 || granule == ~uint64_t{0} || granule <= skip) return 0;
  return static_cast<double>(granule - skip) / rate;
}

bool ReadVorbis(OggPacketReader& reader, const std::vector<uint8_t>& first,
                AudioProperties& properties, XiphComment& comment) {
  VorbisIdentification id;
  if (!ParseVorbisIdentification(first.data(), first.size(), id)) return false;
  std::vector<uint8_t> packet;
  if (!reader.NextPacket(packet, kMaxHeaderPacket)) return false;
  if (!ParseVorbisComment(packet.data(), packet.size(), comment)) return false;
  if (!reader.NextPacket(packet, kMaxHeaderPacket) || !IsVorbisSetup(packet.data(), packet.size()))
    return false;
  properties.format = "Vorbis";
  properties.channels = id.channels;
  properties.samplingRate = static_cast<int32_t>(std::min<uint32_t>(id.sampleRate, INT32_MAX));
  return true;
}

bool ReadOpus(OggPacketReader& reader, const std::vector<uint8_t>& first,
              AudioProperties& properties, XiphComment& comment, uint16_t& preSkip) {
  OpusHead head;
  if (!ParseOpusHead(first.data(), first.size(), head)) return false;
  std::vector<uint8_t> packet;
  if (!reader.NextPacket(packet, kMaxHeaderPacket)) return false;
  if (!ParseOpusTags(packet.data(), packet.size(), comment)) return false;
  properties.format = "Opus";
  properties.channels = head.channels;
  properties.samplingRate = 48000;  // Opus always decodes at 48 kHz
  preSkip = head.preSkip;
  return true;
}

// The last good page of `serial` that begins in the last `window` bytes.
bool FindLastGranuleIn(RandomAccessFile& file, size_t window, uint32_t serial, uint64_t& granule) {
  const uint64_t size = file.Size();
  window = static_cast<size_t>(std::min<uint64_t>(size, window));
  // Bytes the file holds in memory are looked at where they are.
  const uint8_t* tail = file.View(size - window, window);
  std::unique_ptr<uint8_t[]> read;
  size_t got = window;
  if (!tail) {
    read.reset(new uint8_t[window]);
    if (!file.ReadAt(size - window, read.get(), window, got)) return false;
    tail = read.get();
  }
  for (size_t at = got >= 4 ? got - 4 + 1 : 0; at-- > 0;) {
    if (std::memcmp(tail + at, "OggS", 4) != 0) continue;
    OggPage page;
    size_t pageSize = 0;
    if (ParseOggPage(tail + at, got - at, page, pageSize) != OggPageStatus::Ok) continue;
    if (page.serial != serial || page.granule == ~uint64_t{0}) continue;
    granule = page.granule;
    return true;
  }
  return false;
}

}  // namespace

bool FindLastGranule(RandomAccessFile& file, uint32_t serial, uint64_t& granule) {
  // Encoders end a stream with a page of a few kilobytes: one small read
  // finds it, and only a larger page (or damage) needs the widest window.
  return FindLastGranuleIn(file, 16 * 1024, serial, granule) ||
         FindLastGranuleIn(file, 2 * kOggMaxPageSize, serial, granule);
}

bool ReadOggFile(RandomAccessFile& file, AudioProperties& properties, FormatTexts& texts) {
  OggPacketReader reader(file);
  std::vector<uint8_t> first;
  if (!reader.NextPacket(first, kMaxHeaderPacket)) return false;
  AudioProperties found;
  XiphComment comment;
  uint16_t preSkip = 0;
  const bool ok = (first.size() > 0 && first[0] == 1)
                      ? ReadVorbis(reader, first, found, comment)
                      : ReadOpus(reader, first, found, comment, preSkip);
  if (!ok) return false;
  const uint64_t headerEnd = reader.PacketEnd();
  found.audioBytes = file.Size() > headerEnd ? file.Size() - headerEnd : 0;
  uint64_t granule = 0;
  if (FindLastGranule(file, reader.Serial(), granule))
    found.seconds = Seconds(granule, preSkip, static_cast<uint32_t>(found.samplingRate));
  properties = found;
  texts = TextsFromXiphComment(comment);
  return true;
}

}  // namespace vbmp3
