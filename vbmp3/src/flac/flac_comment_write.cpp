#include "vbmp3/src/flac/flac_comment_write.h"

#include <algorithm>
#include <vector>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/flac/flac_metadata.h"
#include "vbmp3/src/ogg/xiph_comment_edit.h"

namespace vbmp3 {
namespace {

constexpr size_t kFlacCopyBlock = 256 * 1024;
constexpr uint32_t kFlacMaxBlockLength = 0xFFFFFF;

bool ReadFlacRange(RandomAccessFile& file, uint64_t offset, size_t n, std::vector<uint8_t>& out) {
  out.resize(n);
  size_t got = 0;
  return file.ReadAt(offset, out.data(), n, got) && got == n;
}

void AppendBlockHeader(std::vector<uint8_t>& out, bool last, uint8_t type, uint32_t length) {
  out.push_back(static_cast<uint8_t>((last ? 0x80 : 0) | type));
  out.push_back(static_cast<uint8_t>(length >> 16));
  out.push_back(static_cast<uint8_t>(length >> 8));
  out.push_back(static_cast<uint8_t>(length));
}

// An empty Vorbis comment: no vendor text, no fields.
std::vector<uint8_t> EmptyComment() { return std::vector<uint8_t>(8, 0); }

// The comment block's new body, from the old one (or an empty one).
bool NewCommentBody(RandomAccessFile& file, const FlacBlock* comment,
                    const FormatTextChanges& changes, std::vector<uint8_t>& body) {
  std::vector<uint8_t> old = EmptyComment();
  if (comment && !ReadFlacBlockBody(file, *comment, old)) return false;
  size_t consumed = 0;
  std::vector<uint8_t> edited;
  if (!EditXiphComment(old.data(), old.size(), changes, edited, consumed)) return false;
  // Bytes some writers leave after the structure stay with it.
  edited.insert(edited.end(), old.begin() + static_cast<std::ptrdiff_t>(consumed), old.end());
  body = std::move(edited);
  return body.size() <= kFlacMaxBlockLength;
}

// The comment block and the padding right after it, rewritten within their
// bytes; false when the new body does not fit there.
// `last`: the pair ends the metadata.
bool WriteInTheirRoom(RandomAccessFile& file, const FlacBlock& comment, const FlacBlock* padding,
                      bool last, const std::vector<uint8_t>& body, int32_t& error) {
  const uint64_t begin = comment.bodyOffset - kFlacBlockHeaderSize;
  const uint64_t end =
      padding ? padding->bodyOffset + padding->length : comment.bodyOffset + comment.length;
  const uint64_t room = end - begin;
  std::vector<uint8_t> bytes;
  const uint64_t needed = body.size() + kFlacBlockHeaderSize;
  // Exactly the room, or room for a padding block after it as well.
  if (needed != room && needed + kFlacBlockHeaderSize > room) return false;
  AppendBlockHeader(bytes, needed == room && last, kFlacVorbisComment,
                    static_cast<uint32_t>(body.size()));
  bytes.insert(bytes.end(), body.begin(), body.end());
  if (bytes.size() < room) {
    const uint64_t left = room - bytes.size() - kFlacBlockHeaderSize;
    AppendBlockHeader(bytes, last, kFlacPadding, static_cast<uint32_t>(left));
    bytes.resize(static_cast<size_t>(room), 0);
  }
  std::vector<uint8_t> old;
  if (!ReadFlacRange(file, begin, bytes.size(), old)) {
    error = VBMP3_ERR_READ;
    return true;
  }
  error = VBMP3_ERR_NONE;
  if (!file.WriteAt(begin, bytes.data(), bytes.size()) || !file.Flush()) {
    file.WriteAt(begin, old.data(), old.size());
    file.Flush();
    error = VBMP3_ERR_WRITE;
  }
  return true;
}

int32_t CopyRange(RandomAccessFile& from, uint64_t begin, uint64_t end, RandomAccessFile& to,
                  uint64_t at) {
  std::vector<uint8_t> block;
  while (begin < end) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(kFlacCopyBlock, end - begin));
    if (!ReadFlacRange(from, begin, n, block)) return VBMP3_ERR_READ;
    if (!to.WriteAt(at, block.data(), n)) return VBMP3_ERR_WRITE;
    begin += n;
    at += n;
    RewriteStep();
  }
  return VBMP3_ERR_NONE;
}

// The file anew: what precedes the blocks, every block but the padding (the
// comment block new, or added after STREAMINFO), new padding, the frames.
int32_t WriteFlacAnew(RandomAccessFile& file, const FlacMetadata& metadata,
                      const std::vector<uint8_t>& body, RandomAccessFile& to) {
  std::vector<uint8_t> head;
  if (!ReadFlacRange(file, 0, static_cast<size_t>(metadata.markerOffset + 4), head))
    return VBMP3_ERR_READ;
  bool wroteComment = false;
  for (const FlacBlock& block : metadata.blocks) {
    if (block.type == kFlacPadding) continue;
    const std::vector<uint8_t>* bytes = nullptr;
    std::vector<uint8_t> kept;
    // Only the first comment block is the tag; a second one is kept.
    if (block.type == kFlacVorbisComment && !wroteComment) {
      bytes = &body;
      wroteComment = true;
    } else {
      if (!ReadFlacBlockBody(file, block, kept)) return VBMP3_ERR_READ;
      bytes = &kept;
    }
    AppendBlockHeader(head, false, block.type, static_cast<uint32_t>(bytes->size()));
    head.insert(head.end(), bytes->begin(), bytes->end());
    if (block.type == kFlacStreamInfo && !wroteComment &&
        std::none_of(metadata.blocks.begin(), metadata.blocks.end(),
                     [](const FlacBlock& b) { return b.type == kFlacVorbisComment; })) {
      AppendBlockHeader(head, false, kFlacVorbisComment, static_cast<uint32_t>(body.size()));
      head.insert(head.end(), body.begin(), body.end());
      wroteComment = true;
    }
  }
  AppendBlockHeader(head, true, kFlacPadding, kFlacNewPadding);
  head.resize(head.size() + kFlacNewPadding, 0);
  if (!to.WriteAt(0, head.data(), head.size())) return VBMP3_ERR_WRITE;
  RewriteStep();
  if (const int32_t error =
          CopyRange(file, metadata.firstFrameOffset, file.Size(), to, head.size()))
    return error;
  return to.Flush() ? VBMP3_ERR_NONE : VBMP3_ERR_WRITE;
}

}  // namespace

int32_t WriteFlacTexts(RandomAccessFile& file, const FormatTextChanges& changes,
                       const ReplacementSource& replacement, bool& replaced) {
  replaced = false;
  FlacMetadata metadata;
  if (!ReadFlacMetadata(file, metadata) || metadata.blocks.empty() ||
      metadata.blocks.front().type != kFlacStreamInfo)
    return VBMP3_ERR_NOT_AUDIO;
  const auto& blocks = metadata.blocks;
  const auto found = std::find_if(blocks.begin(), blocks.end(),
                                  [](const FlacBlock& b) { return b.type == kFlacVorbisComment; });
  const FlacBlock* comment = found == blocks.end() ? nullptr : &*found;
  std::vector<uint8_t> body;
  if (!NewCommentBody(file, comment, changes, body)) return VBMP3_ERR_TAG_NOT_REWRITABLE;
  if (comment) {
    const auto next = found + 1;
    const FlacBlock* padding =
        next != blocks.end() && next->type == kFlacPadding ? &*next : nullptr;
    const bool last = (padding ? next : found) + 1 == blocks.end();
    int32_t error = VBMP3_ERR_NONE;
    if (WriteInTheirRoom(file, *comment, padding, last, body, error)) return error;
  }
  RandomAccessFile* target = replacement ? replacement() : nullptr;
  if (!target) return VBMP3_ERR_WRITE;
  const int32_t error = WriteFlacAnew(file, metadata, body, *target);
  replaced = error == VBMP3_ERR_NONE;
  return error;
}

}  // namespace vbmp3
