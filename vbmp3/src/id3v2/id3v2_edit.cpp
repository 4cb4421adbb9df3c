#include "vbmp3/src/id3v2/id3v2_edit.h"

#include <algorithm>

#include "vbmp3/include/vbmp3.h"
#include "vbmp3/src/id3v2/id3v2_new_frames.h"
#include "vbmp3/src/text/unicode.h"

namespace vbmp3 {
namespace {

constexpr std::string_view kIds[kValueCount] = {"TIT2", "TPE1", "TALB", "", "COMM", "TCON", "TRCK"};

bool IsValueFrame(std::string_view id) {
  return id == "TYER" || id == "TDRC" ||
         std::find(std::begin(kIds), std::end(kIds), id) != std::end(kIds);
}

using Frames = std::vector<Id3v2RawFrame>;

// Puts `frame` where the first frame `matches` was (or at the end) and drops
// the others that match: the reader takes the first it can read, and a
// later duplicate would show through a frame it cannot.
template <typename Match>
void Put(Frames& frames, const Match& matches, const Id3v2RawFrame* frame) {
  bool placed = false;
  for (auto it = frames.begin(); it != frames.end();) {
    if (!matches(*it)) {
      ++it;
    } else if (!placed && frame) {
      *it++ = *frame;
      placed = true;
    } else {
      it = frames.erase(it);
    }
  }
  if (!placed && frame) frames.push_back(*frame);
}

void PutValue(Frames& frames, int major, int value, const std::string& text) {
  auto byId = [](std::string_view id) {
    return [id](const Id3v2RawFrame& f) { return f.id == id; };
  };
  if (value == kValueComment) {
    auto plain = [major](const Id3v2RawFrame& f) { return IsPlainComment(f, major); };
    const bool otherComment =
        std::any_of(frames.begin(), frames.end(),
                    [&](const Id3v2RawFrame& f) { return f.id == "COMM" && !plain(f); });
    // An empty comment stays as an empty frame when a described comment
    // would otherwise be read in its place.
    const Id3v2RawFrame comment = MakeCommentFrame(major, text);
    Put(frames, plain, text.empty() && !otherComment ? nullptr : &comment);
    return;
  }
  if (value == kValueYear) {
    const std::string_view id = major == 4 ? "TDRC" : "TYER";
    const Id3v2RawFrame frame = MakeTextFrame(major, id, text);
    // The reader takes TYER before TDRC.
    if (major == 4 || text.empty()) Put(frames, byId("TYER"), nullptr);
    if (text.empty()) Put(frames, byId("TDRC"), nullptr);
    if (!text.empty()) Put(frames, byId(id), &frame);
    return;
  }
  std::string written = text;
  // "(" starts a genre reference; "((" is a literal one.
  if (value == kValueGenre && !written.empty() && written[0] == '(') written.insert(0, 1, '(');
  const Id3v2RawFrame frame = MakeTextFrame(major, kIds[value], written);
  Put(frames, byId(kIds[value]), text.empty() ? nullptr : &frame);
}

}  // namespace

std::string WritableValue(std::string_view text) {
  std::string out = ValidUtf8(text.substr(0, text.find('\0')));
  size_t bom = 0;
  while (out.compare(bom, 3, "\xEF\xBB\xBF") == 0) bom += 3;
  return out.erase(0, bom);
}

int32_t EditId3v2Values(const Id3v2FrameList& old, const Id3v2Tag& current,
                        const Id3v2Values& values, bool repairShiftJis, Id3v2Edit& out,
                        bool wholeValues) {
  out = Id3v2Edit{};
  out.major = old.major == 4 ? 4 : 3;
  for (const Id3v2RawFrame& f : old.frames) {
    if (old.major >= 3 && IsValueFrame(f.id) && f.Flags(old.major).Unreadable())
      return VBMP3_ERR_TAG_NOT_REWRITABLE;
  }
  const std::string* have[kValueCount] = {&current.title, &current.artist,  &current.album,
                                          &current.year,  &current.comment, &current.genre,
                                          &current.track};
  Frames frames;
  for (int v = 0; v < kValueCount; ++v) {
    const std::string want = WritableValue(values[v]);
    const std::string& now = *have[v];
    const bool same = want == now || (!wholeValues && now.size() > kValueFieldWidth &&
                                      want == CutUtf8(now, kValueFieldWidth));
    const bool repair = repairShiftJis && (current.shiftJisValues & (1u << v)) != 0;
    if (same && !repair) continue;
    if (!out.changed) {
      out.changed = true;
      if (old.major == 2) {
        for (const Id3v2RawFrame& f : old.frames) {
          Id3v2RawFrame upgraded;
          if (UpgradeId3v22Frame(f, upgraded)) frames.push_back(std::move(upgraded));
        }
      } else {
        frames = old.frames;
      }
    }
    PutValue(frames, out.major, v, same ? now : want);
  }
  out.frames = std::move(frames);
  return VBMP3_ERR_NONE;
}

std::string GenreAsRead(const std::string& value) {
  if (value.empty()) return value;
  int number = 0;
  return ResolveGenres({value[0] == '(' ? "(" + value : value}, number);
}

}  // namespace vbmp3
