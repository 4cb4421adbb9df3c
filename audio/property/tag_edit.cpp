#include "audio/property/tag_edit.h"

#include "audio/property/property_text.h"
#include "engine/name_builder.h"

namespace property {
namespace {

const std::wstring& Kept(const std::wstring& box, const std::wstring& loaded,
                         const std::wstring& tag) {
  return box != loaded ? box : tag;
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
  write.repairShiftJis = sources.hasId3v2 && sources.shiftJis;
  if (!tagDirty && !write.repairShiftJis) return write;
  write.id3v2 = sources.hasId3v2 || preferID3v2;
  // A repair alone touches only the ID3v2 tag.
  write.id3v1 = tagDirty && (sources.hasId3v1 || !sources.hasId3v2);
  return write;
}

Id3v2Values ValuesToWrite(const TagSources& sources, const TagTexts& loaded,
                          const TagTexts& boxes) {
  const TagTexts& tag = sources.id3v2;
  Id3v2Values values;
  values.title = Kept(boxes.title, loaded.title, tag.title);
  values.artist = Kept(boxes.artist, loaded.artist, tag.artist);
  values.album = Kept(boxes.album, loaded.album, tag.album);
  values.year = Kept(boxes.year, loaded.year, tag.year);
  values.comment = Kept(boxes.comment, loaded.comment, tag.comment);
  values.genre = Kept(boxes.genreName, loaded.genreName, tag.genreName);
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
