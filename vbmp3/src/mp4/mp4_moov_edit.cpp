#include "vbmp3/src/mp4/mp4_moov_edit.h"

#include <cstring>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/io/byte_order.h"
#include "vbmp3/src/mp4/mp4_ilst_write.h"

namespace vbmp3 {

namespace {

using Bytes = std::vector<uint8_t>;

// No stsd this program meets is larger; a larger one is not looked into.
constexpr uint64_t kSampleTableLimit = 1 << 20;

Mp4Box MoovOf(MemoryFile& moov) {
  Mp4Box box;
  BoxWalker walker(moov, WholeFile(moov));
  walker.Next(box);
  return box;
}

Bytes Wrapped(uint32_t type, const Bytes& header, const Bytes& children) {
  Bytes out;
  PutBoxHeader(out, type, static_cast<uint32_t>(8 + header.size() + children.size()));
  out.insert(out.end(), header.begin(), header.end());
  out.insert(out.end(), children.begin(), children.end());
  return out;
}

// meta as iTunes writes it: version and flags, then an hdlr naming the
// metadata "mdir" by "appl", then the items.
Bytes NewMeta(const Bytes& ilst) {
  Bytes body = {0, 0, 0, 0};
  const Bytes hdlr = Wrapped(
      BoxType("hdlr"),
      {0, 0, 0, 0, 0, 0, 0, 0, 'm', 'd', 'i', 'r', 'a', 'p', 'p', 'l', 0, 0, 0, 0, 0, 0, 0, 0, 0},
      {});
  body.insert(body.end(), hdlr.begin(), hdlr.end());
  body.insert(body.end(), ilst.begin(), ilst.end());
  return Wrapped(BoxType("meta"), {}, body);
}

// The free box directly after the ilst inside its meta, when there is one.
bool FreeAfter(MemoryFile& moov, const Mp4Box& meta, const Mp4Box& ilst, Mp4Box& free) {
  BoxWalker walker(moov, ilst.End(), meta.End());
  return walker.Next(free) && free.type == BoxType("free");
}

// The new ilst, and the free box after it resized to keep the old room.
void UseRoomAfter(MemoryFile& moov, const Mp4Box& meta, const Mp4Box& ilst, Bytes& insert,
                  uint64_t& end) {
  Mp4Box free;
  if (!FreeAfter(moov, meta, ilst, free)) return;
  const uint64_t room = free.End() - ilst.offset;
  if (insert.size() > room) return;
  const uint64_t left = room - insert.size();
  if (left != 0 && left < 8) return;
  if (left >= 8) {
    PutBoxHeader(insert, BoxType("free"), static_cast<uint32_t>(left));
    insert.resize(static_cast<size_t>(room), 0);
  }
  end = free.End();
}

bool SetSize(Bytes& bytes, const Mp4Box& box, uint64_t size) {
  if (box.headerSize >= 16 && !box.toEnd) {
    WriteBE32(bytes.data() + box.offset + 8, static_cast<uint32_t>(size >> 32));
    WriteBE32(bytes.data() + box.offset + 12, static_cast<uint32_t>(size));
    return true;
  }
  if (size > UINT32_MAX) return false;
  WriteBE32(bytes.data() + box.offset, static_cast<uint32_t>(size));
  return true;
}

// A parent whose children end in damage could hide the path after it: a
// new one added there would be found behind the old once the moov grows.
bool ChildrenAreSound(MemoryFile& moov, const Mp4Box& parent) {
  BoxWalker walker(moov, parent);
  Mp4Box child;
  while (walker.Next(child)) {
  }
  return !walker.Damaged();
}

bool IsProtectedEntry(uint32_t type) {
  return type == BoxType("drms") || type == BoxType("drmi") || type == BoxType("enca") ||
         type == BoxType("encv");
}

bool SampleTable(MemoryFile& moov, const Mp4Box& trak, Mp4Box& stbl) {
  std::vector<Mp4Box> path;
  if (!FindPath(moov, trak, {BoxType("mdia"), BoxType("minf"), BoxType("stbl")}, path))
    return false;
  stbl = path.back();
  return true;
}

// A sinf box sits among a protected entry's children, after fields whose
// length depends on the entry's kind and version: its type is looked for
// in the entries' bytes.
bool IsProtectedTrack(MemoryFile& moov, const Mp4Box& stbl) {
  Mp4Box stsd, entry;
  if (!FindChild(moov, stbl, BoxType("stsd"), stsd)) return false;
  Bytes body;
  if (!ReadBody(moov, stsd, kSampleTableLimit, body)) return true;
  for (size_t i = 0; i + 4 <= body.size(); ++i)
    if (std::memcmp(body.data() + i, "sinf", 4) == 0) return true;
  stsd.childOffset = stsd.BodySize() >= 8 ? 8 : 0;
  BoxWalker entries(moov, stsd);
  while (entries.Next(entry))
    if (IsProtectedEntry(entry.type)) return true;
  return false;
}

bool ShiftTable(Bytes& bytes, const Mp4Box& table, uint64_t from, int64_t delta) {
  const size_t width = table.type == BoxType("co64") ? 8 : 4;
  if (table.BodySize() < 8) return false;
  uint8_t* p = bytes.data() + table.BodyOffset();
  const uint64_t count = ReadBE32(p + 4);
  if (count > (table.BodySize() - 8) / width) return false;
  for (uint64_t i = 0; i < count; ++i) {
    uint8_t* entry = p + 8 + i * width;
    const uint64_t offset = width == 8 ? ReadBigEndian64(entry) : ReadBE32(entry);
    if (offset < from) continue;
    const uint64_t moved = offset + static_cast<uint64_t>(delta);
    if (width == 4) {
      if (moved > UINT32_MAX) return false;
      WriteBE32(entry, static_cast<uint32_t>(moved));
    } else {
      WriteBE32(entry, static_cast<uint32_t>(moved >> 32));
      WriteBE32(entry + 4, static_cast<uint32_t>(moved));
    }
  }
  return true;
}

}  // namespace

int32_t PutIlst(MemoryFile& moov, const FormatTextChanges& changes, Bytes& out) {
  const Mp4Box box = MoovOf(moov);
  std::vector<Mp4Box> path;
  FindPath(moov, box, {BoxType("udta"), BoxType("meta"), BoxType("ilst")}, path);
  std::vector<Mp4Box> parents = {box};
  for (size_t i = 0; i < path.size() && i < 2; ++i) parents.push_back(path[i]);
  for (const Mp4Box& parent : parents)
    if (!ChildrenAreSound(moov, parent)) return VBMP3_ERR_TAG_NOT_REWRITABLE;
  const Mp4Box* oldIlst = path.size() == 3 ? &path[2] : nullptr;
  Bytes insert;
  if (!BuildIlst(moov, oldIlst, changes, insert)) return VBMP3_ERR_TAG_NOT_REWRITABLE;
  if (path.size() < 2) insert = NewMeta(insert);
  if (path.size() < 1) insert = Wrapped(BoxType("udta"), {}, insert);
  uint64_t begin = parents.back().End(), end = begin;
  if (oldIlst) {
    begin = oldIlst->offset;
    end = oldIlst->End();
    UseRoomAfter(moov, path[1], *oldIlst, insert, end);
  }
  const Bytes& old = moov.Bytes();
  out.assign(old.begin(), old.begin() + static_cast<ptrdiff_t>(begin));
  out.insert(out.end(), insert.begin(), insert.end());
  out.insert(out.end(), old.begin() + static_cast<ptrdiff_t>(end),
             old.begin() + static_cast<ptrdiff_t>(box.End()));
  const int64_t delta = static_cast<int64_t>(insert.size()) - static_cast<int64_t>(end - begin);
  for (const Mp4Box& parent : parents)
    if (!SetSize(out, parent, parent.size + static_cast<uint64_t>(delta)))
      return VBMP3_ERR_MP4_LAYOUT;
  return VBMP3_ERR_NONE;
}

bool HasFragmentsOrProtection(MemoryFile& moov) {
  const Mp4Box box = MoovOf(moov);
  Mp4Box found, stbl;
  if (FindChild(moov, box, BoxType("mvex"), found)) return true;
  BoxWalker walker(moov, box);
  while (walker.Next(found))
    if (found.type == BoxType("trak") && SampleTable(moov, found, stbl) &&
        IsProtectedTrack(moov, stbl))
      return true;
  return false;
}

bool ShiftChunkOffsets(MemoryFile& moov, uint64_t from, int64_t delta) {
  Bytes bytes = moov.Bytes();
  const Mp4Box box = MoovOf(moov);
  BoxWalker tracks(moov, box);
  Mp4Box trak, stbl, table;
  while (tracks.Next(trak)) {
    if (trak.type != BoxType("trak") || !SampleTable(moov, trak, stbl)) continue;
    BoxWalker tables(moov, stbl);
    while (tables.Next(table))
      if ((table.type == BoxType("stco") || table.type == BoxType("co64")) &&
          !ShiftTable(bytes, table, from, delta))
        return false;
    if (tables.Damaged()) return false;
  }
  if (tracks.Damaged()) return false;
  return moov.WriteAt(0, bytes.data(), bytes.size());
}

}  // namespace vbmp3
