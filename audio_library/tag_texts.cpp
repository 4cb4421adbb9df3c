#include "audio_library/tag_texts.h"

#include <initializer_list>
#include <utility>

namespace {

template <size_t N>
std::wstring Decode(const char (&field)[N], FieldDecoder decoder) {
  return decoder(FieldBytes(field, N));
}

}  // namespace

std::string_view FieldBytes(const char* field, size_t width) {
  size_t n = 0;
  while (n < width && field[n] != '\0') ++n;
  return std::string_view(field, n);
}

TagTexts Id3v1Texts(const TagRecord& tag, FieldDecoder ansi) {
  TagTexts texts;
  texts.artist = Decode(tag.Artist, ansi);
  texts.title = Decode(tag.Title, ansi);
  texts.album = Decode(tag.Album, ansi);
  texts.year = Decode(tag.Year, ansi);
  texts.comment = Decode(tag.Comment, ansi);
  texts.genreName = Decode(tag.GenreName, ansi);
  return texts;
}

TagTexts Id3v2Texts(const TagTextsRecord& record, FieldDecoder utf8) {
  TagTexts texts;
  texts.title = Decode(record.Texts[kId3v2Title], utf8);
  texts.artist = Decode(record.Texts[kId3v2Artist], utf8);
  texts.album = Decode(record.Texts[kId3v2Album], utf8);
  texts.year = Decode(record.Texts[kId3v2Year], utf8);
  texts.comment = Decode(record.Texts[kId3v2Comment], utf8);
  texts.genreName = Decode(record.Texts[kId3v2Genre], utf8);
  const std::wstring track = Decode(record.Texts[kId3v2Track], utf8);
  texts.track = TrackNumberText(track);
  texts.trackTotalDigits = TrackTotalDigits(track);
  return texts;
}

bool Id3v2BlockTexts(std::string_view block, FieldDecoder utf8, TagTexts& texts,
                     std::wstring& writtenTrack) {
  std::wstring values[7];
  for (std::wstring& value : values) {
    const size_t nul = block.find('\0');
    if (nul == std::string_view::npos) return false;
    value = utf8(block.substr(0, nul));
    block.remove_prefix(nul + 1);
  }
  TagTexts read;
  read.title = values[kId3v2Title];
  read.artist = values[kId3v2Artist];
  read.album = values[kId3v2Album];
  read.year = values[kId3v2Year];
  read.comment = values[kId3v2Comment];
  read.genreName = values[kId3v2Genre];
  read.track = TrackNumberText(values[kId3v2Track]);
  read.trackTotalDigits = TrackTotalDigits(values[kId3v2Track]);
  // The album artist and the disc follow in a block of a library that
  // reads them.
  for (std::wstring* more : {&read.albumArtist, &read.disc}) {
    const size_t nul = block.find('\0');
    if (nul == std::string_view::npos) break;
    *more = utf8(block.substr(0, nul));
    block.remove_prefix(nul + 1);
  }
  texts = std::move(read);
  writtenTrack = std::move(values[kId3v2Track]);
  return true;
}

std::string Id3v2ValueBlock(const Id3v2Values& values, TextEncoder utf8) {
  std::string block;
  for (const std::wstring* value : {&values.title, &values.artist, &values.album, &values.year,
                                    &values.comment, &values.genre, &values.track}) {
    const std::string bytes = utf8(*value);
    block.append(bytes, 0, bytes.find('\0'));
    block += '\0';
  }
  return block;
}

std::wstring Id3v1Track(const TagTextsRecord& record) {
  return TrackNumberText(std::to_wstring(record.Id3v1Track));
}

std::wstring TrackNumberText(std::wstring_view written) {
  size_t at = written.find_first_not_of(L' ');
  if (at == std::wstring_view::npos) return L"";
  size_t end = at;
  while (end < written.size() && written[end] >= L'0' && written[end] <= L'9') ++end;
  // Leading zeros say nothing ("003" is track 3); the number is kept as
  // text, so no count of digits can overflow.
  while (at < end && written[at] == L'0') ++at;
  if (at == end) return L"";
  std::wstring number(written.substr(at, end - at));
  if (number.size() < 2) number.insert(0, 2 - number.size(), L'0');
  return number;
}

size_t TrackTotalDigits(std::wstring_view written) {
  const size_t slash = written.find(L'/');
  if (slash == std::wstring_view::npos) return 0;
  size_t at = written.find_first_not_of(L' ', slash + 1);
  if (at == std::wstring_view::npos) return 0;
  while (at < written.size() && written[at] == L'0') ++at;
  size_t end = at;
  while (end < written.size() && written[end] >= L'0' && written[end] <= L'9') ++end;
  return end - at;
}

std::wstring Id3v2Version(const TagTextsRecord& record, FieldDecoder utf8) {
  return Decode(record.Texts[kId3v2VersionField], utf8);
}

bool RecordHasId3v1(const TagTextsRecord& record) {
  return !FieldBytes(record.Texts[kId3v1VersionField], sizeof record.Texts[kId3v1VersionField])
              .empty();
}

bool RecordHasShiftJis(const TagTextsRecord& record) {
  return FieldBytes(record.Texts[kId3v2ShiftJisField], sizeof record.Texts[kId3v2ShiftJisField]) ==
         "Shift_JIS";
}
