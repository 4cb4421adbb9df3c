// Writing changed boxes into any FLAC file: the writer refuses and the file
// is unchanged, or the result's comment gives the values written, and its
// other blocks (but padding) and its frames are the old ones.
//
// Input: an options byte (bits 0-5 which of title, artist, album, year,
// comment, genre change; bit 6 a disk that fails after 500 bytes), a length
// L, L bytes of texts for the changed boxes separated by '\n', the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vbmp3/src/flac/flac_comment_write.h"
#include "vbmp3/src/flac/flac_metadata.h"
#include "vbmp3/src/ogg/xiph_comment.h"

namespace {

using Bytes = std::vector<uint8_t>;
const char* const kFieldNames[] = {"TITLE", "ARTIST", "ALBUM", "DATE", "COMMENT", "GENRE"};

std::vector<std::optional<std::string>*> BoxesOf(vbmp3::FormatTextChanges& c) {
  return {&c.title, &c.artist, &c.album, &c.year, &c.comment, &c.genre};
}

vbmp3::FormatTextChanges ChangesFrom(uint8_t options, std::string_view texts) {
  vbmp3::FormatTextChanges changes;
  size_t at = 0;
  const std::vector<std::optional<std::string>*> boxes = BoxesOf(changes);
  for (int b = 0; b < 6; ++b) {
    if (!(options & (1 << b))) continue;
    const size_t end = std::min(texts.find('\n', at), texts.size());
    *boxes[b] = std::string(at < texts.size() ? texts.substr(at, end - at) : "");
    at = end + 1;
  }
  return changes;
}

std::vector<std::string> ValuesOf(const std::string& text) {
  std::vector<std::string> values;
  if (text.empty()) return values;
  size_t at = 0;
  for (size_t next; (next = text.find("; ", at)) != std::string::npos; at = next + 2)
    values.push_back(text.substr(at, next - at));
  values.push_back(text.substr(at));
  return values;
}

// The blocks but padding and the first comment, with their bodies.
std::vector<std::pair<uint8_t, Bytes>> KeptBlocks(vbmp3::RandomAccessFile& file,
                                                  const vbmp3::FlacMetadata& m) {
  std::vector<std::pair<uint8_t, Bytes>> kept;
  bool comment = false;
  for (const vbmp3::FlacBlock& block : m.blocks) {
    if (block.type == vbmp3::kFlacPadding) continue;
    if (block.type == vbmp3::kFlacVorbisComment && !comment) {
      comment = true;
      continue;
    }
    Bytes body;
    if (!vbmp3::ReadFlacBlockBody(file, block, body)) abort();
    kept.emplace_back(block.type, std::move(body));
  }
  return kept;
}

void CheckResult(const Bytes& before, const Bytes& after, vbmp3::FormatTextChanges changes) {
  vbmp3::MemoryFile was(before), now(after);
  vbmp3::FlacMetadata old, fresh;
  if (!vbmp3::ReadFlacMetadata(was, old) || !vbmp3::ReadFlacMetadata(now, fresh)) abort();
  if (KeptBlocks(was, old) != KeptBlocks(now, fresh)) abort();
  if (Bytes(before.begin() + static_cast<std::ptrdiff_t>(old.firstFrameOffset), before.end()) !=
      Bytes(after.begin() + static_cast<std::ptrdiff_t>(fresh.firstFrameOffset), after.end()))
    abort();
  for (const vbmp3::FlacBlock& block : fresh.blocks) {
    if (block.type != vbmp3::kFlacVorbisComment) continue;
    Bytes body;
    vbmp3::XiphComment comment;
    if (!vbmp3::ReadFlacBlockBody(now, block, body) ||
        !vbmp3::ParseXiphComment(body.data(), body.size(), comment))
      abort();
    const std::vector<std::optional<std::string>*> boxes = BoxesOf(changes);
    for (int b = 0; b < 6; ++b)
      if (*boxes[b] && vbmp3::XiphValues(comment, kFieldNames[b]) != ValuesOf(**boxes[b])) abort();
    return;
  }
  abort();  // a successful write leaves a comment block
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size_t{data[1]} > size - 2) return 0;
  const vbmp3::FormatTextChanges changes =
      ChangesFrom(data[0], std::string_view(reinterpret_cast<const char*>(data + 2), data[1]));
  const Bytes bytes(data + 2 + data[1], data + size);
  vbmp3::MemoryFile file(bytes), anew;
  if (data[0] & 0x40) {
    file.FailWritesAfter(500);
    anew.FailWritesAfter(500);
  }
  bool replaced = false;
  const int32_t error = vbmp3::WriteFlacTexts(
      file, changes, [&]() -> vbmp3::RandomAccessFile* { return &anew; }, replaced);
  if (error) {
    if (replaced || file.Bytes() != bytes) abort();
    return 0;
  }
  if (replaced && file.Bytes() != bytes) abort();
  CheckResult(bytes, replaced ? anew.Bytes() : file.Bytes(), changes);
  return 0;
}
