#include "audio/property/tag_edit.h"

#include "audio/property/property_text.h"
#include "engine/name_builder.h"

namespace property {
namespace {

// A changed box goes in. So does, when the boxes show the ID3v2 tag, a text
// it lacks that the box shows from the ID3v1 tag: the tag is to hold what
// the user saw. Anything else keeps the tag's own value.
const std::wstring& Kept(const std::wstring& box, const std::wstring& loaded,
                         const std::wstring& tag, bool showsId3v2) {
  const bool filled = showsId3v2 && tag.empty() && !box.empty();
  return box != loaded || filled ? box : tag;
}

}  // namespace

TagTexts BoxTexts(const TagSources& sources, bool preferID3v2) {
  const TagTexts& v1 = sources.id3v1;
  const TagTexts& v2 = sources.id3v2;
  if (!preferID3v2) return sources.hasId3v1 || !sources.hasId3v2 ? v1 : v2;
  // Each field as the name builder takes it: the ID3v2 text where there is one.
  return ChooseTagTexts(v1, v2, true);
}

TagWrite PlanTagWrite(const TagSources& sources, bool preferID3v2, bool tagDirty) {
  TagWrite write;
  if (sources.ownTag) {
    write.id3v2 = tagDirty;  // the values' write, into the file's own tag
    return write;
  }
  write.repairShiftJis = sources.hasId3v2 && sources.shiftJis;
  if (!tagDirty && !write.repairShiftJis) return write;
  write.id3v2 = sources.hasId3v2 || preferID3v2;
  // A repair alone touches only the ID3v2 tag.
  write.id3v1 = tagDirty && (sources.hasId3v1 || !sources.hasId3v2);
  return write;
}

Id3v2Values ValuesToWrite(const TagSources& sources, const TagTexts& loaded, const TagTexts& boxes,
                          bool preferID3v2) {
  const TagTexts& tag = sources.id3v2;
  Id3v2Values values;
  const bool shows = preferID3v2;
  values.title = Kept(boxes.title, loaded.title, tag.title, shows);
  values.artist = Kept(boxes.artist, loaded.artist, tag.artist, shows);
  values.album = Kept(boxes.album, loaded.album, tag.album, shows);
  values.year = Kept(boxes.year, loaded.year, tag.year, shows);
  values.comment = Kept(boxes.comment, loaded.comment, tag.comment, shows);
  values.genre = Kept(boxes.genreName, loaded.genreName, tag.genreName, shows);
  values.track = sources.id3v2Track;
  return values;
}

std::wstring FormatTagAndStream(const StreamInfoRecord& info, const std::wstring& id3v2Version,
                                bool shiftJis) {
  std::wstring text = FormatStreamInfo(info, id3v2Version);
  if (shiftJis && !id3v2Version.empty())
    text += L"（Shift_JIS を検出）\r\nOKで Unicode に書き直します";
  return text;
}

}  // namespace property
