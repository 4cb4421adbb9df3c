#include "vbmp3/src/tag_texts_write.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "vbmp3/src/audio_stream.h"
#include "vbmp3/src/text/cp932.h"
#include "vbmp3/src/id3v1/genre.h"
#include "vbmp3/src/id3v1/id3v1.h"
#include "vbmp3/src/id3v2/id3v2.h"
#include "vbmp3/src/last_error.h"
#include "vbmp3/src/format_texts_write.h"
#include "vbmp3/src/tag_format.h"
#include "vbmp3/src/tag_file.h"

namespace vbmp3 {
namespace {

RewriteStepHook g_stepHook = nullptr;

void Step() {
  if (g_stepHook) g_stepHook();
}

constexpr size_t kCopyBlock = 256 * 1024;

bool ReadExactly(RandomAccessFile& file, uint64_t offset, size_t n, std::string& out) {
  out.resize(n);
  size_t got = 0;
  return file.ReadAt(offset, out.data(), n, got) && got == n;
}

// The file's ID3v2 tag and its values; `list.major` 0 when it has none.
int32_t ReadOldTag(RandomAccessFile& file, uint64_t available, Id3v2FrameList& list,
                   Id3v2Tag& current) {
  std::string head;
  if (available < kId3v2HeaderLength) return VBMP3_ERR_NONE;
  if (!ReadExactly(file, 0, kId3v2HeaderLength, head)) return VBMP3_ERR_READ;
  const uint64_t length = Id3v2TagLength(reinterpret_cast<const uint8_t*>(head.data()));
  if (length == 0) return VBMP3_ERR_NONE;
  if (length > available) return VBMP3_ERR_TAG_NOT_REWRITABLE;
  std::string tag;
  if (!ReadExactly(file, 0, static_cast<size_t>(length), tag)) return VBMP3_ERR_READ;
  const auto* p = reinterpret_cast<const uint8_t*>(tag.data());
  const FrameListOutcome outcome = SplitId3v2Frames(p, tag.size(), list);
  if (outcome == FrameListOutcome::kNotRewritable) return VBMP3_ERR_TAG_NOT_REWRITABLE;
  if (outcome == FrameListOutcome::kSplit) ParseId3v2Tag(p, tag.size(), current);
  return VBMP3_ERR_NONE;
}

// The ID3v1 tag from the values: code page 932 cut at character
// boundaries; a genre the table does not name keeps the tag's number.
Id3v1Tag Id3v1From(const Id3v2Values& values, int oldGenre) {
  auto field = [&](int v, size_t width) {
    return std::string(CutText(Utf8ToCp932(values[v]), width, &IsCp932LeadByte));
  };
  Id3v1Tag t;
  t.title = field(kValueTitle, kId3v1TextWidth);
  t.artist = field(kValueArtist, kId3v1TextWidth);
  t.album = field(kValueAlbum, kId3v1TextWidth);
  t.year = field(kValueYear, kId3v1YearWidth);
  t.comment = field(kValueComment, kId3v1TextWidth);
  t.genre = values[kValueGenre].empty() ? 255 : oldGenre;
  for (int g = 0; g < kGenreCount; ++g) {
    if (GenreName(g) == values[kValueGenre]) t.genre = g;
  }
  return t;
}

// Writes `tag` over the first bytes of the file, putting the old ones back
// when a write fails.
bool WriteInPlace(RandomAccessFile& file, const std::string& tag, std::string& old) {
  if (!ReadExactly(file, 0, tag.size(), old)) return false;
  if (file.WriteAt(0, tag.data(), tag.size()) && file.Flush()) return true;
  file.WriteAt(0, old.data(), old.size());
  file.Flush();
  return false;
}

// The new tag, then the file from `from` on, into `to`.
bool WriteAnew(RandomAccessFile& file, uint64_t from, const std::string& tag,
               RandomAccessFile& to) {
  if (!to.WriteAt(0, tag.data(), tag.size())) return false;
  Step();
  std::vector<char> block(static_cast<size_t>(
      std::min<uint64_t>(kCopyBlock, file.Size() - std::min(from, file.Size()))));
  uint64_t at = tag.size();
  for (uint64_t offset = from; offset < file.Size();) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(kCopyBlock, file.Size() - offset));
    size_t got = 0;
    if (!file.ReadAt(offset, block.data(), want, got) || got != want ||
        !to.WriteAt(at, block.data(), got)) {
      return false;
    }
    offset += got;
    at += got;
    Step();
  }
  return true;
}

}  // namespace

void SetRewriteStepHook(RewriteStepHook hook) { g_stepHook = hook; }

void RewriteStep() { Step(); }

Id3v2Values ValuesOf(const TagTextsRecord& texts) {
  Id3v2Values values;
  for (int v = 0; v < kValueCount; ++v) {
    const char* field = texts.Texts[v];
    const void* nul = std::memchr(field, 0, sizeof texts.Texts[v]);
    const size_t n =
        nul ? static_cast<size_t>(static_cast<const char*>(nul) - field) : sizeof texts.Texts[v];
    values[v] = WritableValue(std::string_view(field, n));
  }
  return values;
}

int32_t WriteTagValues(RandomAccessFile& file, const Id3v2Values& values, bool repairShiftJis,
                       const ReplacementSource& replacement, bool& replaced, bool wholeValues) {
  replaced = false;
  TagFormat format;
  {
    ByteWindow head(file, 4096, 64 * 1024);
    format = RecogniseTagFormat(head);
  }
  if (format != TagFormat::kNone)
    return WriteFormatValues(format, file, values, wholeValues, replacement, replaced);
  AudioStream audio;
  if (const int32_t error = AnalyseAudio(file, audio, Measure::Locate)) return error;
  ByteWindow bytes(file, 4096, 4096);
  const TagPlace v1 = FindTag(bytes);
  Id3v1Tag oldV1;
  if (bytes.Failed() || (v1.found && !ReadTag(bytes, oldV1))) return VBMP3_ERR_READ;
  Id3v2FrameList old;
  Id3v2Tag current;
  const uint64_t available = v1.found && !v1.riff ? v1.offset : file.Size();
  if (const int32_t error = ReadOldTag(file, available, old, current)) return error;
  // A RIFF form must start the file: it has no place for an ID3v2 tag.
  if (old.major == 0 && v1.riff) return VBMP3_ERR_TAG_NOT_REWRITABLE;
  Id3v2Edit edit;
  if (const int32_t error =
          EditId3v2Values(old, current, values, repairShiftJis, edit, wholeValues))
    return error;

  RandomAccessFile* target = &file;
  std::string tag, saved;
  if (edit.changed) {
    size_t length = kId3v2HeaderLength;
    for (const Id3v2RawFrame& f : edit.frames) length += f.bytes.size();
    const bool fits = old.major != 0 && length <= old.tagLength;
    tag = JoinId3v2Frames(edit.major, edit.frames,
                          fits ? static_cast<size_t>(old.tagLength - length) : kNewTagPadding);
    if (tag.empty()) return VBMP3_ERR_TAG_NOT_REWRITABLE;
    if (fits) {
      if (!WriteInPlace(file, tag, saved)) return VBMP3_ERR_WRITE;
    } else {
      target = replacement ? replacement() : nullptr;
      if (!target || !WriteAnew(file, old.tagLength, tag, *target)) return VBMP3_ERR_WRITE;
      replaced = true;
    }
  }
  if (v1.found) {
    if (const int32_t error = WriteTag(*target, Id3v1From(values, oldV1.genre))) {
      if (!saved.empty()) WriteInPlace(file, saved, tag);
      replaced = false;
      return error;
    }
  }
  if (replaced && !target->Flush()) {
    replaced = false;
    return VBMP3_ERR_WRITE;
  }
  return VBMP3_ERR_NONE;
}

int32_t SetTagTexts(const char* path, const TagTextsRecord* texts, int32_t options) {
  if (!texts) {
    SetLastErrorNo(VBMP3_ERR_BAD_ARGUMENT);
    return 0;
  }
  return SetTagValues(path, ValuesOf(*texts), options, false);
}

int32_t SetTagValues(const char* path, const Id3v2Values& values, int32_t options,
                     bool wholeValues) {
  if (!path || !*path) {
    SetLastErrorNo(VBMP3_ERR_BAD_ARGUMENT);
    return 0;
  }
  int32_t error = VBMP3_ERR_NONE;
  std::unique_ptr<RandomAccessFile> file = OpenFile(path, OpenMode::Update, error);
  std::unique_ptr<ReplacementFile> replacement;
  bool replaced = false;
  if (file) {
    const ReplacementSource make = [&]() -> RandomAccessFile* {
      int32_t ignored = 0;
      replacement = CreateReplacement(path, ignored);
      return replacement.get();
    };
    error = WriteTagValues(*file, values, (options & VBMP3_TEXTS_REPAIR_SHIFT_JIS) != 0, make,
                           replaced, wholeValues);
  }
  file.reset();  // the original must be closed before it is replaced
  if (error == VBMP3_ERR_NONE && replaced) {
    Step();
    if (!replacement->Commit()) error = VBMP3_ERR_WRITE;
    Step();
  }
  replacement.reset();
  SetLastErrorNo(error);
  return error == VBMP3_ERR_NONE ? 1 : 0;
}

}  // namespace vbmp3
