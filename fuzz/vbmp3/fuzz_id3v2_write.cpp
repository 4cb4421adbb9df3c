// Writing the seven ID3v2 values into any file: the writer refuses and the
// file is unchanged, or reading the result gives the values written, the
// frames of other kinds are kept byte for byte, and the audio after the tag
// is unchanged.
//
// Input: an options byte (1 repair Shift_JIS, 2 append 4 silent frames
// to the file, 4 a disk that fails after (byte >> 3) * 97 bytes), a length
// L, L bytes of values separated by '\n' (a value left out stays as read),
// then the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/tag_file.h"
#include "vbmp3/src/id3v2/id3v2.h"
#include "vbmp3/src/id3v2/id3v2_edit.h"
#include "vbmp3/src/id3v2/id3v2_frame_list.h"
#include "vbmp3/src/id3v2/id3v2_tag.h"
#include "vbmp3/src/tag_format.h"
#include "vbmp3/src/tag_texts_write.h"
#include "vbmp3/src/text/unicode.h"

namespace {

using Bytes = std::vector<uint8_t>;

bool IsValueFrame(const std::string& id) {
  for (const char* v : {"TIT2", "TPE1", "TALB", "TYER", "TDRC", "COMM", "TCON", "TRCK"}) {
    if (id == v) return true;
  }
  return false;
}

vbmp3::Id3v2Tag Parse(const Bytes& file, size_t limit) {
  vbmp3::Id3v2Tag tag;
  vbmp3::ParseId3v2Tag(file.data(), limit, tag);
  return tag;
}

const std::string& Value(const vbmp3::Id3v2Tag& t, int v) {
  const std::string* values[] = {&t.title,   &t.artist, &t.album, &t.year,
                                 &t.comment, &t.genre,  &t.track};
  return *values[v];
}

std::string LeadingYear(const std::string& s) {
  size_t n = 0;
  while (n < s.size() && n < 4 && s[n] >= '0' && s[n] <= '9') ++n;
  return s.substr(0, n);
}

// The frames not of the seven kinds, as on disk.
std::vector<std::string> Others(const Bytes& file) {
  vbmp3::Id3v2FrameList list;
  std::vector<std::string> out;
  if (vbmp3::SplitId3v2Frames(file.data(), file.size(), list) != vbmp3::FrameListOutcome::kSplit)
    return out;
  for (const auto& f : list.frames) {
    if (!IsValueFrame(f.id)) out.push_back(f.bytes);
  }
  return out;
}

size_t TagEnd(const Bytes& file) {
  return file.size() >= vbmp3::kId3v2HeaderLength
             ? static_cast<size_t>(vbmp3::Id3v2TagLength(file.data()))
             : 0;
}

// The values of the input: '\n'-separated; one left out stays as read.
vbmp3::Id3v2Values ValuesOf(std::string_view valueBytes, const vbmp3::Id3v2Tag& old) {
  vbmp3::Id3v2Values values;
  size_t at = 0;
  for (int v = 0; v < vbmp3::kValueCount; ++v) {
    const size_t end = valueBytes.find('\n', at);
    if (at > valueBytes.size()) {
      values[v] = vbmp3::CutUtf8(Value(old, v), vbmp3::kValueFieldWidth);
    } else {
      values[v] =
          std::string(valueBytes.substr(at, end == std::string_view::npos ? end : end - at));
      values[v] = std::string(vbmp3::CutUtf8(vbmp3::ValidUtf8(values[v]), vbmp3::kValueFieldWidth));
    }
    at = end == std::string_view::npos ? valueBytes.size() + 1 : end + 1;
  }
  return values;
}

// What reading gives back after a write of `values` over `old`.
void CheckValues(const vbmp3::Id3v2Tag& old, const vbmp3::Id3v2Tag& now,
                 const vbmp3::Id3v2Values& values, bool repair) {
  for (int v = 0; v < vbmp3::kValueCount; ++v) {
    const std::string want = vbmp3::WritableValue(values[v]);
    const std::string& had = Value(old, v);
    const bool same = want == had || (had.size() > vbmp3::kValueFieldWidth &&
                                      want == vbmp3::CutUtf8(had, vbmp3::kValueFieldWidth));
    const bool repaired = repair && (old.shiftJisValues & (1u << v));
    std::string expect = same ? had : want;
    if (!(same && !repaired)) {
      if (v == vbmp3::kValueGenre) expect = vbmp3::GenreAsRead(expect);
      if (v == vbmp3::kValueYear && now.major == 4) expect = LeadingYear(expect);
    }
    if (Value(now, v) != expect) abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size_t{data[1]} > size - 2) return 0;
  const uint8_t options = data[0];
  const std::string_view valueBytes(reinterpret_cast<const char*>(data + 2), data[1]);
  Bytes bytes(data + 2 + data[1], data + size);
  if (options & 2) {
    for (int i = 0; i < 4; ++i) {
      const uint8_t header[4] = {0xFF, 0xFB, 0x90, 0x40};
      bytes.insert(bytes.end(), header, header + 4);
      bytes.insert(bytes.end(), 413, 0);
    }
  }
  vbmp3::MemoryFile file(bytes);
  // A FLAC, MP4 or Ogg file gets its own tag, written by its own writer
  // (fuzzed on its own).
  if (vbmp3::IsTagFormatFile(file)) return 0;
  // Where the ID3v1 tag is, without measuring the stream (the writer does).
  vbmp3::ByteWindow window(file);
  const vbmp3::TagPlace place = vbmp3::FindTag(window);
  const bool v1 = place.found && !place.riff;
  const size_t before = v1 ? bytes.size() - 128 : bytes.size();
  const vbmp3::Id3v2Tag old = Parse(bytes, before);

  const vbmp3::Id3v2Values values = ValuesOf(valueBytes, old);
  vbmp3::MemoryFile anew;
  if (options & 4) {
    file.FailWritesAfter(static_cast<uint64_t>(options >> 3) * 97);
    anew.FailWritesAfter(static_cast<uint64_t>(options >> 3) * 97);
  }
  bool replaced = false;
  const bool repair = options & 1;
  const int32_t error = vbmp3::WriteTagValues(
      file, values, repair, [&]() -> vbmp3::RandomAccessFile* { return &anew; }, replaced);
  if (error) {
    if (replaced || file.Bytes() != bytes) abort();
    return 0;
  }
  const Bytes& after = replaced ? anew.Bytes() : file.Bytes();
  if (replaced && file.Bytes() != bytes) abort();
  const size_t afterEnd = v1 ? after.size() - 128 : after.size();
  const vbmp3::Id3v2Tag now = Parse(after, afterEnd);
  CheckValues(old, now, values, repair);
  // The audio after the tag, and frames of other kinds (a 2.2 tag's change form).
  const size_t oldTag = old.major ? TagEnd(bytes) : 0, newTag = now.major ? TagEnd(after) : 0;
  if (afterEnd - newTag != before - oldTag ||
      std::memcmp(after.data() + newTag, bytes.data() + oldTag, before - oldTag) != 0) {
    abort();
  }
  if (old.major >= 3 && Others(after) != Others(bytes)) abort();
  return 0;
}
