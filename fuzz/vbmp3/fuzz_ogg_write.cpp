// Writing changed boxes into any Ogg file: the writer refuses and the file
// is unchanged, or reading the result gives the values written for the
// changed fields, every other field in its order, the vendor text, and the
// packets after the comment (the Vorbis setup, the audio) unchanged.
//
// Input: an options byte (bits 0-5 which of title, artist, album, year,
// comment, genre change; bit 6 a disk that fails after 1000 bytes; bit 7
// the pages' CRCs made right first, so that changed bytes reach the
// writer), a length L, L bytes of texts for the changed boxes separated by
// '\n', then the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vbmp3/src/io/byte_order.h"
#include "vbmp3/src/ogg/codec_headers.h"
#include "vbmp3/src/ogg/ogg_comment_write.h"
#include "vbmp3/src/ogg/ogg_file.h"
#include "vbmp3/src/ogg/ogg_packets.h"
#include "vbmp3/src/ogg/ogg_page.h"

namespace {

using Bytes = std::vector<uint8_t>;
const char* const kNames[] = {"TITLE", "ARTIST", "ALBUM", "DATE", "COMMENT", "GENRE"};

void MakeCrcsRight(Bytes& file) {
  for (size_t at = 0; at + vbmp3::kOggPageHeaderSize <= file.size(); ++at) {
    if (std::string_view(reinterpret_cast<char*>(&file[at]), 4) != "OggS") continue;
    const size_t segments = file[at + 26];
    if (file.size() - at < vbmp3::kOggPageHeaderSize + segments) return;
    size_t size = vbmp3::kOggPageHeaderSize + segments;
    for (size_t i = 0; i < segments; ++i) size += file[at + vbmp3::kOggPageHeaderSize + i];
    if (file.size() - at < size) return;
    vbmp3::WriteLE32(&file[at + 22], 0);
    vbmp3::WriteLE32(&file[at + 22], vbmp3::OggCrc(&file[at], size));
    at += size - 1;
  }
}

std::vector<std::optional<std::string>*> Boxes(vbmp3::FormatTextChanges& c) {
  return {&c.title, &c.artist, &c.album, &c.year, &c.comment, &c.genre};
}

vbmp3::FormatTextChanges ChangesOf(uint8_t options, std::string_view texts) {
  vbmp3::FormatTextChanges changes;
  size_t at = 0;
  std::vector<std::optional<std::string>*> boxes = Boxes(changes);
  for (int b = 0; b < 6; ++b) {
    if (!(options & (1 << b))) continue;
    const size_t end = std::min(texts.find('\n', at), texts.size());
    *boxes[b] = std::string(at < texts.size() ? texts.substr(at, end - at) : "");
    at = end + 1;
  }
  return changes;
}

std::vector<Bytes> Packets(vbmp3::RandomAccessFile& file) {
  vbmp3::OggPacketReader reader(file);
  std::vector<Bytes> packets;
  for (Bytes p; reader.NextPacket(p, 1 << 24);) packets.push_back(p);
  return packets;
}

bool ParseComment(const Bytes& packet, vbmp3::XiphComment& out) {
  return vbmp3::ParseVorbisComment(packet.data(), packet.size(), out) ||
         vbmp3::ParseOpusTags(packet.data(), packet.size(), out);
}

bool IsChanged(const std::string& name, const vbmp3::FormatTextChanges& changes) {
  vbmp3::FormatTextChanges copy = changes;
  const std::vector<std::optional<std::string>*> boxes = Boxes(copy);
  for (int b = 0; b < 6; ++b)
    if (*boxes[b] && vbmp3::XiphValues({"", {{name, ""}}}, kNames[b]).size() == 1) return true;
  return false;
}

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> values;
  if (text.empty()) return values;
  size_t at = 0;
  for (size_t next; (next = text.find("; ", at)) != std::string::npos; at = next + 2)
    values.push_back(text.substr(at, next - at));
  values.push_back(text.substr(at));
  return values;
}

void CheckComment(const Bytes& oldPacket, const Bytes& newPacket,
                  vbmp3::FormatTextChanges changes) {
  vbmp3::XiphComment was, now;
  if (!ParseComment(oldPacket, was) || !ParseComment(newPacket, now)) abort();
  if (was.vendor != now.vendor) abort();
  const std::vector<std::optional<std::string>*> boxes = Boxes(changes);
  for (int b = 0; b < 6; ++b)
    if (*boxes[b] && vbmp3::XiphValues(now, kNames[b]) != Split(**boxes[b])) abort();
  auto others = [&](const vbmp3::XiphComment& c) {
    std::vector<std::pair<std::string, std::string>> kept;
    for (const auto& field : c.fields)
      if (!IsChanged(field.first, changes)) kept.push_back(field);
    return kept;
  };
  if (others(was) != others(now)) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size_t{data[1]} > size - 2) return 0;
  const uint8_t options = data[0];
  const vbmp3::FormatTextChanges changes =
      ChangesOf(options, std::string_view(reinterpret_cast<const char*>(data + 2), data[1]));
  Bytes bytes(data + 2 + data[1], data + size);
  if (options & 0x80) MakeCrcsRight(bytes);
  vbmp3::MemoryFile file(bytes), anew;
  if (options & 0x40) {
    file.FailWritesAfter(1000);
    anew.FailWritesAfter(1000);
  }
  bool replaced = false;
  const int32_t error = vbmp3::WriteOggTexts(
      file, changes, [&]() -> vbmp3::RandomAccessFile* { return &anew; }, replaced);
  if (error || !replaced) {
    if (replaced || (error && file.Bytes() != bytes)) abort();
    if (error || file.Bytes() == bytes) return 0;
  } else if (file.Bytes() != bytes) {
    abort();
  }
  vbmp3::MemoryFile& result = replaced ? anew : file;
  vbmp3::MemoryFile old(bytes);
  vbmp3::AudioProperties properties;
  vbmp3::FormatTexts texts;
  if (!vbmp3::ReadOggFile(result, properties, texts)) abort();
  const std::vector<Bytes> before = Packets(old), after = Packets(result);
  if (before.size() != after.size() || before.size() < 2) abort();
  CheckComment(before[1], after[1], changes);
  for (size_t k = 2; k < before.size(); ++k)
    if (before[k] != after[k]) abort();
  return 0;
}
