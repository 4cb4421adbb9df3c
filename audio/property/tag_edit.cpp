#include "audio/property/tag_edit.h"

#include "audio/property/property_text.h"

namespace property {
namespace {

const std::wstring& Pick(const std::wstring& v2, const std::wstring& v1) {
  return v2.empty() ? v1 : v2;
}

const std::wstring& Kept(const std::wstring& box, const std::wstring& loaded,
                         const std::wstring& tag) {
  return box != loaded ? box : tag;
}

}  // namespace

TagTexts BoxTexts(const TagSources& sources, bool preferID3v2) {
  const TagTexts& v1 = sources.id3v1;
  const TagTexts& v2 = sources.id3v2;
  if (!preferID3v2) return sources.hasId3v1 || !sources.hasId3v2 ? v1 : v2;
  TagTexts texts;
  texts.artist = Pick(v2.artist, v1.artist);
  texts.title = Pick(v2.title, v1.title);
  texts.album = Pick(v2.album, v1.album);
  texts.year = Pick(v2.year, v1.year);
  texts.comment = Pick(v2.comment, v1.comment);
  texts.genreName = Pick(v2.genreName, v1.genreName);
  return texts;
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
