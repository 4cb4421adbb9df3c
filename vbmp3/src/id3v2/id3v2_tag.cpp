#include "vbmp3/src/id3v2/id3v2_tag.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "vbmp3/src/id3v1/genre.h"
#include "vbmp3/src/id3v2/id3v2.h"
#include "vbmp3/src/id3v2/id3v2_frames.h"
#include "vbmp3/src/id3v2/id3v2_text.h"

namespace vbmp3 {
namespace {

enum Field {
  kTitle,
  kArtist,
  kAlbum,
  kYear,
  kRecorded,
  kGenre,
  kTrack,
  kComment,
  kAlbumArtist,
  kDisc,
  kFieldCount
};

struct FrameName {
  std::string_view v22, v23;
  Field field;
};

constexpr FrameName kFrames[] = {
    {"TT2", "TIT2", kTitle}, {"TP1", "TPE1", kArtist},  {"TAL", "TALB", kAlbum},
    {"TYE", "TYER", kYear},  {"", "TDRC", kRecorded},   {"TCO", "TCON", kGenre},
    {"TRK", "TRCK", kTrack}, {"COM", "COMM", kComment}, {"TP2", "TPE2", kAlbumArtist},
    {"TPA", "TPOS", kDisc},
};

std::optional<Field> FieldOf(int major, std::string_view id) {
  for (const FrameName& f : kFrames) {
    if (id == (major == 2 ? f.v22 : f.v23)) return f.field;
  }
  return std::nullopt;
}

bool AllDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The genre table's name for the digits `s`, or empty.
std::string_view NameOf(std::string_view s, int& number) {
  if (!AllDigits(s) || s.size() > 3) return {};
  number = std::stoi(std::string(s));
  return GenreName(number);
}

// A recording time ("2004-05-06T...") as its year: the leading digits, at most four.
std::string YearOf(const std::string& time) {
  size_t n = 0;
  while (n < time.size() && n < 4 && time[n] >= '0' && time[n] <= '9') ++n;
  return time.substr(0, n);
}

}  // namespace

std::string ResolveGenres(const std::vector<std::string>& values, int& number) {
  std::vector<std::string> names;
  number = 255;
  auto add = [&](std::string_view name, int reference) {
    if (names.empty() && reference >= 0) number = reference;
    names.emplace_back(name);
  };
  for (const std::string& value : values) {
    if (value.empty()) continue;
    int n = -1;
    if (AllDigits(value)) {
      // A bare number the table does not name may be a genre's own text.
      const std::string_view name = NameOf(value, n);
      if (name.empty()) {
        add(value, -1);
      } else {
        add(name, n);
      }
      continue;
    }
    if (value == "RX" || value == "CR") {
      add(value == "RX" ? "Remix" : "Cover", -1);
      continue;
    }
    // "(n)(m)text": references, then a refinement. A reference the table
    // does not name is dropped, as ID3v1's 255 is.
    const size_t first = names.size();
    std::string_view rest = value;
    while (rest.size() >= 2 && rest[0] == '(' && rest[1] != '(') {
      const size_t close = rest.find(')');
      if (close == std::string_view::npos) break;
      const std::string_view inner = rest.substr(1, close - 1);
      if (inner == "RX" || inner == "CR") {
        add(inner == "RX" ? "Remix" : "Cover", -1);
      } else if (AllDigits(inner)) {
        const std::string_view name = NameOf(inner, n);
        if (!name.empty()) add(name, n);
      } else {
        break;
      }
      rest.remove_prefix(close + 1);
    }
    if (rest.substr(0, 2) == "((") rest.remove_prefix(1);
    if (!rest.empty() && std::find(names.begin() + static_cast<std::ptrdiff_t>(first), names.end(),
                                   rest) == names.end()) {
      add(rest, -1);
    }
  }
  return JoinValues(names);
}

bool ParseId3v2Tag(const uint8_t* tag, size_t size, Id3v2Tag& out) {
  Id3v2Header header;
  if (size < kId3v2HeaderLength || !ParseId3v2Header(tag, header)) return false;
  const int major = header.major;
  const bool allValues = major >= 4;
  std::optional<std::vector<std::string>> found[kFieldCount];
  std::optional<std::vector<std::string>> otherComment;
  bool shiftJis[kFieldCount] = {};
  bool otherCommentShiftJis = false;
  const int walked = WalkId3v2Frames(tag, size, [&](std::string_view id, std::string_view data) {
    const std::optional<Field> field = FieldOf(major, id);
    if (!field || found[*field] || data.empty()) return;
    Id3v2Encoding encoding;
    if (!ToId3v2Encoding(static_cast<uint8_t>(data[0]), encoding)) return;
    data.remove_prefix(1);
    if (*field != kComment) {
      found[*field] = DecodeId3v2Values(encoding, data, allValues, &shiftJis[*field]);
      return;
    }
    // Language, description, text.
    if (data.size() < 3) return;
    std::string_view description;
    const std::string_view text = SplitId3v2String(encoding, data.substr(3), description);
    bool sjis = false;
    std::vector<std::string> values = DecodeId3v2Values(encoding, text, allValues, &sjis);
    if (DecodeId3v2Values(encoding, description, false).front().empty()) {
      found[kComment] = std::move(values);
      shiftJis[kComment] = sjis;
    } else if (!otherComment) {
      otherComment = std::move(values);
      otherCommentShiftJis = sjis;
    }
  });
  if (walked == 0) return false;

  auto text = [&](Field f) { return found[f] ? JoinValues(*found[f]) : std::string(); };
  out = Id3v2Tag{};
  out.major = major;
  out.title = text(kTitle);
  out.artist = text(kArtist);
  out.album = text(kAlbum);
  out.year = text(kYear);
  if (out.year.empty()) out.year = YearOf(text(kRecorded));
  out.comment = found[kComment] ? JoinValues(*found[kComment])
                : otherComment  ? JoinValues(*otherComment)
                                : std::string();
  if (found[kGenre]) out.genre = ResolveGenres(*found[kGenre], out.genreNumber);
  out.track = text(kTrack);
  out.albumArtist = text(kAlbumArtist);
  out.disc = text(kDisc);
  const bool yearShiftJis = found[kYear] ? shiftJis[kYear] : shiftJis[kRecorded];
  const bool commentShiftJis = found[kComment] ? shiftJis[kComment] : otherCommentShiftJis;
  const bool byValue[kValueCount] = {shiftJis[kTitle], shiftJis[kArtist], shiftJis[kAlbum],
                                     yearShiftJis,     commentShiftJis,   shiftJis[kGenre],
                                     shiftJis[kTrack]};
  for (int v = 0; v < kValueCount; ++v) {
    if (byValue[v]) out.shiftJisValues |= 1u << v;
  }
  return true;
}

}  // namespace vbmp3
