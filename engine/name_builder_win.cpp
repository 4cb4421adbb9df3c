#include <windows.h>

#include <cstring>

#include "settings/settings.h"
#include "audio_library/library_path.h"
#include "audio_library/vbmp3_api.h"
#include "engine/name_builder.h"
#include "settings/template_list.h"
#include "win/text.h"

namespace {

const std::wstring* ChooseTemplate(const std::wstring& templ, int16_t index,
                                   std::wstring& defaultTemplate) {
  if (!templ.empty()) return &templ;
  if (index < 0) {
    defaultTemplate = g_settings.RenameExt_Default;
    if (defaultTemplate.empty()) defaultTemplate = kDefaultTemplate;
    return &defaultTemplate;
  }
  if (static_cast<size_t>(index) < g_templateList.size()) return &g_templateList[index];
  return nullptr;
}

}  // namespace

std::wstring BuildRenameName(const std::wstring& path, const std::wstring& templ, int16_t index) {
  std::wstring defaultTemplate;
  const std::wstring* chosen = ChooseTemplate(templ, index, defaultTemplate);
  if (!chosen || !g_vbmp3.getFileInfo2) return L"";

  TagRecord tag{};
  StreamInfoRecord info{};
  TagTextsRecord texts{};
  // A file the library cannot be given gets no target, like an unreadable
  // one; the rename run then says it has none.
  std::optional<std::string> libraryPath = LibraryPath(path);
  if (!libraryPath) return L"";
  int32_t ok = g_vbmp3.getFileInfo2(libraryPath->c_str(), &tag, &info, &texts);
  if ((ok & 0xFFFF) == 0) return L"";

  TagTexts fields;
  fields.artist = win::ReadAnsiField(tag.Artist, sizeof tag.Artist);
  fields.title = win::ReadAnsiField(tag.Title, sizeof tag.Title);
  fields.album = win::ReadAnsiField(tag.Album, sizeof tag.Album);
  fields.year = win::ReadAnsiField(tag.Year, sizeof tag.Year);
  fields.comment = win::ReadAnsiField(tag.Comment, sizeof tag.Comment);
  fields.genreName = win::ReadAnsiField(tag.GenreName, sizeof tag.GenreName);
  // The ID3v2 texts come as UTF-8, so names keep characters the ANSI code
  // page cannot hold.
  auto text = [&texts](int field) {
    const char* bytes = texts.Texts[field];
    return win::FromUtf8(std::string(bytes, strnlen(bytes, sizeof texts.Texts[field])));
  };
  TagTexts id3v2;
  id3v2.title = text(kId3v2Title);
  id3v2.artist = text(kId3v2Artist);
  id3v2.album = text(kId3v2Album);
  id3v2.year = text(kId3v2Year);
  id3v2.comment = text(kId3v2Comment);
  id3v2.genreName = text(kId3v2Genre);
  return ExpandTemplate(path, *chosen, ChooseTagTexts(fields, id3v2, g_settings.PreferID3v2));
}
