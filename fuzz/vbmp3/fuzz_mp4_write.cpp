// Writing changed texts into any MP4 file: the writer refuses and the file
// is unchanged, or reading the result gives the texts written, the items
// of other fields are kept byte for byte and in order, and the bytes
// outside the moov (and the free box after it) are the old ones.
//
// Input: a byte of the fields changed (bits 0-5: title, artist, album, year,
// comment, genre; bit 6 a disk that fails after (byte 1) * 13 bytes), a
// length L, L bytes of texts separated by '\n', then the file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "vbmp3/src/io/byte_order.h"
#include "vbmp3/src/mp4/mp4_box.h"
#include "vbmp3/src/mp4/mp4_file.h"
#include "vbmp3/src/mp4/mp4_ilst_write.h"
#include "vbmp3/src/mp4/mp4_write.h"

namespace {

using Bytes = std::vector<uint8_t>;
using vbmp3::BoxType;

struct Item {
  uint32_t type;
  Bytes bytes;
  bool operator==(const Item& o) const { return type == o.type && bytes == o.bytes; }
};

// The first moov and the ilst in it, with its items as on disk.
bool Items(const Bytes& bytes, std::vector<Item>& items, vbmp3::Mp4Box& moov) {
  vbmp3::MemoryFile file(bytes);
  vbmp3::BoxWalker top(file, vbmp3::WholeFile(file));
  bool found = false;
  while (!found && top.Next(moov)) found = moov.type == BoxType("moov");
  if (!found) return false;
  std::vector<vbmp3::Mp4Box> path;
  items.clear();
  if (!vbmp3::FindPath(file, moov, {BoxType("udta"), BoxType("meta"), BoxType("ilst")}, path))
    return true;
  vbmp3::BoxWalker walker(file, path.back());
  vbmp3::Mp4Box item;
  while (walker.Next(item)) {
    items.push_back({item.type, Bytes(bytes.begin() + static_cast<ptrdiff_t>(item.offset),
                                      bytes.begin() + static_cast<ptrdiff_t>(item.End()))});
    // An item "to the end of the ilst" is kept with its size said.
    if (item.toEnd) vbmp3::WriteBE32(items.back().bytes.data(), static_cast<uint32_t>(item.size));
  }
  return true;
}

const uint32_t kFieldTypes[] = {BoxType("\xA9nam"),
                                BoxType("\xA9"
                                        "ART"),
                                BoxType("\xA9"
                                        "alb"),
                                BoxType("\xA9"
                                        "day"),
                                BoxType("\xA9"
                                        "cmt"),
                                BoxType("\xA9gen")};

bool Changed(uint32_t type, uint8_t fields) {
  if (type == BoxType("gnre")) type = BoxType("\xA9gen");
  for (int f = 0; f < 6; ++f)
    if ((fields & (1 << f)) && kFieldTypes[f] == type) return true;
  return false;
}

std::vector<Item> Kept(const std::vector<Item>& items, uint8_t fields) {
  std::vector<Item> kept;
  for (const Item& i : items)
    if (!Changed(i.type, fields)) kept.push_back(i);
  return kept;
}

std::string Expected(const std::string& text, int field) {
  std::string want = vbmp3::TextAsRead(text);
  if (field == 3 && want.size() >= 4 &&
      std::all_of(want.begin(), want.begin() + 4, [](char c) { return c >= '0' && c <= '9'; }))
    want.resize(4);
  return want;
}

vbmp3::FormatTextChanges ChangesOf(uint8_t fields, std::string_view texts) {
  vbmp3::FormatTextChanges c;
  std::optional<std::string>* slots[] = {&c.title, &c.artist,  &c.album,
                                         &c.year,  &c.comment, &c.genre};
  for (int f = 0; f < 6; ++f) {
    if (!(fields & (1 << f))) continue;
    const size_t end = std::min(texts.find('\n'), texts.size());
    *slots[f] = std::string(texts.substr(0, end));
    texts.remove_prefix(std::min(end + 1, texts.size()));
  }
  return c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size_t{data[1]} > size - 2) return 0;
  const uint8_t fields = data[0] & 63;
  const vbmp3::FormatTextChanges changes =
      ChangesOf(fields, std::string_view(reinterpret_cast<const char*>(data + 2), data[1]));
  const Bytes bytes(data + 2 + data[1], data + size);
  vbmp3::MemoryFile file(bytes), anew;
  if (data[0] & 64) {
    file.FailWritesAfter(uint64_t{data[1]} * 13);
    anew.FailWritesAfter(uint64_t{data[1]} * 13);
  }
  bool replaced = false;
  const int32_t error = vbmp3::WriteMp4Texts(
      file, changes, [&]() -> vbmp3::RandomAccessFile* { return &anew; }, replaced);
  if (error) {
    if (replaced || file.Bytes() != bytes) abort();
    return 0;
  }
  if (replaced && file.Bytes() != bytes) abort();
  if (!changes.Any()) return 0;
  const Bytes& after = replaced ? anew.Bytes() : file.Bytes();
  vbmp3::AudioProperties p;
  vbmp3::FormatTexts t;
  vbmp3::MemoryFile result(after);
  if (!vbmp3::ReadMp4File(result, p, t)) abort();
  const std::string* read[] = {&t.title, &t.artist, &t.album, &t.year, &t.comment, &t.genre};
  const std::optional<std::string>* written[] = {&changes.title, &changes.artist,  &changes.album,
                                                 &changes.year,  &changes.comment, &changes.genre};
  for (int f = 0; f < 6; ++f)
    if (*written[f] && *read[f] != Expected(**written[f], f)) abort();
  std::vector<Item> before, now;
  vbmp3::Mp4Box oldMoov, newMoov;
  if (!Items(bytes, before, oldMoov) || !Items(after, now, newMoov)) abort();
  if (Kept(before, fields) != Kept(now, fields)) abort();
  // What precedes the moov is the same; what follows it too, when it moved.
  if (newMoov.offset != oldMoov.offset ||
      !std::equal(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(oldMoov.offset),
                  after.begin()))
    abort();
  if (replaced && !std::equal(bytes.begin() + static_cast<ptrdiff_t>(oldMoov.End()), bytes.end(),
                              after.begin() + static_cast<ptrdiff_t>(newMoov.End()), after.end()))
    abort();
  return 0;
}
