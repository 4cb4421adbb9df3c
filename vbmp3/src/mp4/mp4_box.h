// The box (atom) structure of MP4 files: a 32-bit size and a four-character
// type, a 64-bit size after them when the 32-bit one is 1, "to the end of
// the parent" when it is 0, sixteen more type bytes for "uuid". Boxes are
// walked by seeking: a box's body is read only when asked for, so a moov
// after gigabytes of mdat costs a few reads. Positions are kept (offset,
// header size, size) so that a writer can later patch sizes along a path.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "vbmp3/src/io/byte_order.h"
#include "vbmp3/src/io/file_io.h"

namespace vbmp3 {

// The type of a box from its four characters: BoxType("moov"),
// BoxType("\xA9nam").
constexpr uint32_t BoxType(const char (&name)[5]) {
  return (uint32_t{static_cast<uint8_t>(name[0])} << 24) |
         (uint32_t{static_cast<uint8_t>(name[1])} << 16) |
         (uint32_t{static_cast<uint8_t>(name[2])} << 8) | uint32_t{static_cast<uint8_t>(name[3])};
}

// The 64-bit big-endian integers of large box sizes and version 1 headers.
inline uint64_t ReadBigEndian64(const uint8_t* p) {
  return (uint64_t{ReadBE32(p)} << 32) | ReadBE32(p + 4);
}

struct Mp4Box {
  uint32_t type = 0;
  uint64_t offset = 0;      // where its size field is
  uint64_t size = 0;        // the whole box, header included
  uint32_t headerSize = 0;  // 8, 16 with a 64-bit size, +16 for "uuid"
  // Bytes between the header and the first child: the version and flags
  // of a full box such as an ISO meta (4), 0 for a plain container.
  uint32_t childOffset = 0;
  // The size field said 0: the box runs to the end of its parent.
  bool toEnd = false;

  uint64_t BodyOffset() const { return offset + headerSize; }
  uint64_t BodySize() const { return size - headerSize; }
  uint64_t End() const { return offset + size; }
  uint64_t ChildrenBegin() const { return BodyOffset() + childOffset; }
};

// The whole file as the parent of its top-level boxes.
Mp4Box WholeFile(const RandomAccessFile& file);

// The boxes of one parent, in their order. Next() stops at the parent's
// end, or at damage: a size smaller than its header, a box running past its
// parent, a read error. Damage is then set; boxes already given stand.
class BoxWalker {
 public:
  BoxWalker(RandomAccessFile& file, const Mp4Box& parent)
      : file_(file), at_(parent.ChildrenBegin()), end_(parent.End()) {}
  BoxWalker(RandomAccessFile& file, uint64_t begin, uint64_t end)
      : file_(file), at_(begin), end_(end) {}

  bool Next(Mp4Box& box);
  bool Damaged() const { return damaged_; }

 private:
  RandomAccessFile& file_;
  uint64_t at_;
  uint64_t end_;
  bool damaged_ = false;
};

// The first child of parent with that type. An ISO meta box found this way
// gets its version and flags skipped; a QuickTime meta, whose children
// follow its header directly, is told apart by a known child type there.
bool FindChild(RandomAccessFile& file, const Mp4Box& parent, uint32_t type, Mp4Box& found);

// The boxes along path from parent (the first of each type at each level):
// path.size() boxes in `found` when the whole path is there; fewer, and
// false, when it stops short.
bool FindPath(RandomAccessFile& file, const Mp4Box& parent, std::initializer_list<uint32_t> path,
              std::vector<Mp4Box>& found);

// Reads a box's body into out, when it is at most limit bytes (a size field
// is never trusted for an allocation). False when larger or unreadable.
bool ReadBody(RandomAccessFile& file, const Mp4Box& box, uint64_t limit, std::vector<uint8_t>& out);

// Reads exactly n bytes at offset.
bool ReadBytesAt(RandomAccessFile& file, uint64_t offset, void* buffer, size_t n);

}  // namespace vbmp3
