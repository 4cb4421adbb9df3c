#include "vbmp3/src/mp4/mp4_write.h"

#include <algorithm>
#include <vector>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/mp4/mp4_box.h"
#include "vbmp3/src/mp4/mp4_ilst.h"
#include "vbmp3/src/mp4/mp4_ilst_write.h"
#include "vbmp3/src/mp4/mp4_moov_edit.h"

namespace vbmp3 {

namespace {

using Bytes = std::vector<uint8_t>;

// A moov is its tables and the tag with its cover art: one larger than this
// is not read into memory.
constexpr uint64_t kMoovLimit = uint64_t{64} << 20;
constexpr size_t kMoovCopyBlock = 256 * 1024;
// A larger free box left after the moov keeps its old bytes: only its
// header is written.
constexpr uint64_t kClearedFreeLimit = 1 << 20;

struct Layout {
  Mp4Box moov;
  Mp4Box free;  // directly after the moov; size 0 when there is none
};

int32_t FindLayout(RandomAccessFile& file, Layout& layout) {
  BoxWalker walker(file, WholeFile(file));
  Mp4Box box;
  bool first = true, hasMoov = false, fragmented = false;
  while (walker.Next(box)) {
    if (first && box.type != BoxType("ftyp")) return VBMP3_ERR_NOT_AUDIO;
    first = false;
    if (box.type == BoxType("moof")) fragmented = true;
    if (box.type == BoxType("moov") && !hasMoov) {
      layout.moov = box;
      hasMoov = true;
    } else if (hasMoov && box.type == BoxType("free") && box.offset == layout.moov.End()) {
      layout.free = box;
    }
  }
  if (walker.Damaged() || !hasMoov) return VBMP3_ERR_NOT_AUDIO;
  return fragmented ? VBMP3_ERR_MP4_LAYOUT : VBMP3_ERR_NONE;
}

// What the reader finds in the new moov is what was written: a path it
// could not reach (damage before it) refuses the write rather than hide it.
bool ReadsBack(const Bytes& moovBytes, const FormatTextChanges& changes) {
  MemoryFile moov(moovBytes);
  Mp4Box box;
  std::vector<Mp4Box> path;
  BoxWalker walker(moov, WholeFile(moov));
  if (!walker.Next(box) ||
      !FindPath(moov, box, {BoxType("udta"), BoxType("meta"), BoxType("ilst")}, path))
    return false;
  FormatTexts texts;
  ReadIlstTexts(moov, path.back(), texts);
  const std::pair<const std::optional<std::string>*, const std::string*> fields[] = {
      {&changes.title, &texts.title},     {&changes.artist, &texts.artist},
      {&changes.album, &texts.album},     {&changes.year, &texts.year},
      {&changes.comment, &texts.comment}, {&changes.genre, &texts.genre}};
  for (const auto& [change, read] : fields) {
    if (!*change) continue;
    std::string want = TextAsRead(**change);
    if (change == &changes.year && want.size() >= 4 &&
        std::all_of(want.begin(), want.begin() + 4, [](char c) { return c >= '0' && c <= '9'; }))
      want.resize(4);
    if (*read != want) return false;
  }
  return true;
}

uint64_t Room(const Layout& layout) { return layout.moov.size + layout.free.size; }

bool FitsInPlace(const Layout& layout, uint64_t size) {
  if (size > Room(layout)) return false;
  const uint64_t left = Room(layout) - size;
  return left == 0 || (left >= 8 && left <= UINT32_MAX);
}

int32_t WriteInPlace(RandomAccessFile& file, const Layout& layout, Bytes region) {
  const uint64_t left = Room(layout) - region.size();
  if (left != 0) {
    PutBoxHeader(region, BoxType("free"), static_cast<uint32_t>(left));
    if (left <= kClearedFreeLimit) region.resize(static_cast<size_t>(Room(layout)), 0);
  }
  Bytes old(region.size());
  if (!ReadBytesAt(file, layout.moov.offset, old.data(), old.size())) return VBMP3_ERR_READ;
  if (file.WriteAt(layout.moov.offset, region.data(), region.size()) && file.Flush())
    return VBMP3_ERR_NONE;
  file.WriteAt(layout.moov.offset, old.data(), old.size());
  file.Flush();
  return VBMP3_ERR_WRITE;
}

bool CopyRange(RandomAccessFile& from, uint64_t begin, uint64_t end, RandomAccessFile& to,
               uint64_t at) {
  Bytes block(static_cast<size_t>(std::min<uint64_t>(kMoovCopyBlock, end - begin)));
  while (begin < end) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(kMoovCopyBlock, end - begin));
    if (!ReadBytesAt(from, begin, block.data(), n) || !to.WriteAt(at, block.data(), n))
      return false;
    begin += n;
    at += n;
    RewriteStep();
  }
  return true;
}

int32_t WriteAnew(RandomAccessFile& file, const Layout& layout, Bytes moovBytes,
                  const ReplacementSource& replacement, bool& replaced) {
  MemoryFile moov(std::move(moovBytes));
  const int64_t delta = static_cast<int64_t>(moov.Size()) - static_cast<int64_t>(layout.moov.size);
  if (!ShiftChunkOffsets(moov, layout.moov.End(), delta)) return VBMP3_ERR_MP4_LAYOUT;
  RandomAccessFile* target = replacement ? replacement() : nullptr;
  if (!target || !CopyRange(file, 0, layout.moov.offset, *target, 0) ||
      !target->WriteAt(layout.moov.offset, moov.Bytes().data(), moov.Bytes().size()))
    return VBMP3_ERR_WRITE;
  RewriteStep();
  if (!CopyRange(file, layout.moov.End(), file.Size(), *target, layout.moov.offset + moov.Size()) ||
      !target->Flush())
    return VBMP3_ERR_WRITE;
  replaced = true;
  return VBMP3_ERR_NONE;
}

}  // namespace

int32_t WriteMp4Texts(RandomAccessFile& file, const FormatTextChanges& changes,
                      const ReplacementSource& replacement, bool& replaced) {
  replaced = false;
  Layout layout;
  if (const int32_t error = FindLayout(file, layout)) return error;
  if (layout.moov.size > kMoovLimit) return VBMP3_ERR_MP4_LAYOUT;
  Bytes moovBytes(static_cast<size_t>(layout.moov.size));
  if (!ReadBytesAt(file, layout.moov.offset, moovBytes.data(), moovBytes.size()))
    return VBMP3_ERR_READ;
  MemoryFile moov(std::move(moovBytes));
  if (HasFragmentsOrProtection(moov)) return VBMP3_ERR_MP4_LAYOUT;
  if (!changes.Any()) return VBMP3_ERR_NONE;
  Bytes newMoov;
  if (const int32_t error = PutIlst(moov, changes, newMoov)) return error;
  if (!ReadsBack(newMoov, changes)) return VBMP3_ERR_TAG_NOT_REWRITABLE;
  if (FitsInPlace(layout, newMoov.size())) return WriteInPlace(file, layout, std::move(newMoov));
  return WriteAnew(file, layout, std::move(newMoov), replacement, replaced);
}

}  // namespace vbmp3
