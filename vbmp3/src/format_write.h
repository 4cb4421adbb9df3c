// What the tag editor asks of a FLAC, MP4 or Ogg file's tag: the boxes the
// user changed, each as the whole new text. The writers of those formats
// take it; a field not changed keeps every byte it has.
#pragma once
#include <optional>
#include <string>

namespace vbmp3 {

// A changed box's text, UTF-8, whole; empty removes the field. Several
// values are written as one text joined by "; " and are split there again.
struct FormatTextChanges {
  std::optional<std::string> title, artist, album, year, comment, genre;
  bool Any() const { return title || artist || album || year || comment || genre; }
};

}  // namespace vbmp3
