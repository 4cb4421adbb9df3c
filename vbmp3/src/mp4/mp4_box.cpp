#include "vbmp3/src/mp4/mp4_box.h"

#include "vbmp3/src/io/byte_order.h"

namespace vbmp3 {

namespace {

// A QuickTime meta box has no version and flags: its first child's type
// then sits where an ISO meta box has its first child's size.
bool IsQuickTimeMetaChild(uint32_t type) {
  return type == BoxType("hdlr") || type == BoxType("ilst") || type == BoxType("keys") ||
         type == BoxType("mhdr") || type == BoxType("free") || type == BoxType("ctry") ||
         type == BoxType("lang");
}

void SetMetaChildOffset(RandomAccessFile& file, Mp4Box& meta) {
  meta.childOffset = meta.BodySize() >= 4 ? 4 : 0;
  uint8_t head[8];
  if (meta.BodySize() >= 8 && ReadBytesAt(file, meta.BodyOffset(), head, sizeof head) &&
      IsQuickTimeMetaChild(ReadBE32(head + 4)))
    meta.childOffset = 0;
}

}  // namespace

bool ReadBytesAt(RandomAccessFile& file, uint64_t offset, void* buffer, size_t n) {
  size_t got = 0;
  return file.ReadAt(offset, buffer, n, got) && got == n;
}

Mp4Box WholeFile(const RandomAccessFile& file) {
  Mp4Box box;
  box.size = file.Size();
  return box;
}

bool BoxWalker::Next(Mp4Box& box) {
  if (damaged_ || at_ >= end_) return false;
  damaged_ = true;  // until the header proves sound
  const uint64_t room = end_ - at_;
  uint8_t head[16];
  if (room < 8 || !ReadBytesAt(file_, at_, head, 8)) return false;
  box = Mp4Box{};
  box.offset = at_;
  box.type = ReadBE32(head + 4);
  box.headerSize = 8;
  const uint32_t size32 = ReadBE32(head);
  if (size32 == 1) {
    if (room < 16 || !ReadBytesAt(file_, at_ + 8, head + 8, 8)) return false;
    box.headerSize = 16;
    box.size = ReadBigEndian64(head + 8);
  } else if (size32 == 0) {
    box.size = room;
    box.toEnd = true;
  } else {
    box.size = size32;
  }
  if (box.type == BoxType("uuid")) box.headerSize += 16;
  if (box.size < box.headerSize || box.size > room) return false;
  damaged_ = false;
  at_ += box.size;
  return true;
}

bool FindChild(RandomAccessFile& file, const Mp4Box& parent, uint32_t type, Mp4Box& found) {
  BoxWalker walker(file, parent);
  Mp4Box box;
  while (walker.Next(box)) {
    if (box.type != type) continue;
    if (type == BoxType("meta")) SetMetaChildOffset(file, box);
    found = box;
    return true;
  }
  return false;
}

bool FindPath(RandomAccessFile& file, const Mp4Box& parent, std::initializer_list<uint32_t> path,
              std::vector<Mp4Box>& found) {
  found.clear();
  Mp4Box at = parent;
  for (uint32_t type : path) {
    Mp4Box child;
    if (!FindChild(file, at, type, child)) return false;
    found.push_back(child);
    at = child;
  }
  return true;
}

bool ReadBody(RandomAccessFile& file, const Mp4Box& box, uint64_t limit,
              std::vector<uint8_t>& out) {
  out.clear();
  if (box.BodySize() > limit) return false;
  out.resize(static_cast<size_t>(box.BodySize()));
  return out.empty() || ReadBytesAt(file, box.BodyOffset(), out.data(), out.size());
}

}  // namespace vbmp3
