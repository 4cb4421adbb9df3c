// What the tag boxes of the property dialog show and what OK writes from
// them: the texts names are built from, and the ID3v2 and ID3v1 tags each
// written only where the file has them or the settings ask for them.
#pragma once
#include <string>

#include "audio_library/tag_texts.h"
#include "vbmp3/include/vbmp3.h"

namespace property {

// What the file's tags hold, as the library reported them.
struct TagSources {
  TagTexts id3v1;  // the ID3v1 tag, or without one the ID3v2 texts as it would hold them
  TagTexts id3v2;
  std::wstring id3v2Track;
  bool hasId3v1 = false;
  bool hasId3v2 = false;
  bool shiftJis = false;  // ID3v2 texts were read from Shift_JIS bytes
  // A FLAC, MP4 or Ogg tag: the values go to it, never to an ID3 tag.
  bool ownTag = false;
};

// The texts the boxes show, those the name is built from: with
// preferID3v2 each ID3v2 text there is, else the ID3v1 one; without it the
// ID3v1 tag, or the ID3v2 texts (in full, in Unicode) when there is no
// ID3v1 tag.
TagTexts BoxTexts(const TagSources& sources, bool preferID3v2);

struct TagWrite {
  bool id3v2 = false;
  bool id3v1 = false;
  bool repairShiftJis = false;
};

// What OK writes: nothing unless the boxes changed (tagDirty) or the ID3v2
// texts need the Shift_JIS repair. The ID3v2 tag when the file has one or
// preferID3v2 is on; the ID3v1 tag when the file has one or has no ID3v2 tag.
TagWrite PlanTagWrite(const TagSources& sources, bool preferID3v2, bool tagDirty);

// The ID3v2 values to write: a box the user changed (its text differs from
// `loaded`, what it showed) gives its text, and with preferID3v2 so does a
// box showing a text the ID3v2 tag has none for (the ID3v1 one); any other
// field keeps what the ID3v2 tag holds, byte for byte, so that a box showing
// a shorter ID3v1 text never cuts it. The track has no box and is kept.
Id3v2Values ValuesToWrite(const TagSources& sources, const TagTexts& loaded, const TagTexts& boxes,
                          bool preferID3v2);

// The MPEG box's text: the stream lines and the ID3v2 line, which says
// when the ID3v2 texts were read from Shift_JIS and that OK repairs them.
std::wstring FormatTagAndStream(const StreamInfoRecord& info, const std::wstring& id3v2Version,
                                bool shiftJis);

}  // namespace property
