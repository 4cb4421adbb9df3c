// Frames the library writes into an ID3v2 tag: text and comment frames in
// the encoding the tag's version calls for, and the frames of a 2.2 tag
// turned into their 2.3 form (a 2.2 tag is rewritten as 2.3, since few
// programs still read 2.2 and none writes it).
#pragma once
#include <string_view>

#include "vbmp3/src/id3v2/id3v2_frame_list.h"

namespace vbmp3 {

// A text frame of `major` (3 or 4) holding `text` (valid UTF-8): in 2.4
// UTF-8; in 2.3 ISO-8859-1 when the text is plain ASCII, else UTF-16 with a
// byte order mark.
Id3v2RawFrame MakeTextFrame(int major, std::string_view id, std::string_view text);

// A COMM frame of `major` with language "jpn", an empty description and
// `text`, encoded as MakeTextFrame does.
Id3v2RawFrame MakeCommentFrame(int major, std::string_view text);

// True when `frame`, in a tag of `major` (3, 4), is a COMM frame a reader
// takes for one with an empty description.
bool IsPlainComment(const Id3v2RawFrame& frame, int major);

// The 2.3 form of a 2.2 frame: the same data under the 2.3 id (a picture's
// three-letter image format becomes a MIME type). False for frames 2.3 has
// no counterpart for (links to other files, encrypted meta frames), which a
// rewritten tag cannot keep.
bool UpgradeId3v22Frame(const Id3v2RawFrame& v22, Id3v2RawFrame& v23);

}  // namespace vbmp3
