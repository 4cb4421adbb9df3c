#include "settings/settings.h"
#include "audio_library/tag_access.h"
#include "engine/name_builder.h"
#include "settings/template_list.h"

namespace {

const std::wstring* ChooseTemplate(const std::wstring& templ, int index,
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

std::wstring BuildRenameName(const std::wstring& path, const std::wstring& templ, int index) {
  std::wstring defaultTemplate;
  const std::wstring* chosen = ChooseTemplate(templ, index, defaultTemplate);
  if (!chosen) return L"";
  // A file the library cannot be given gets no target, like an unreadable
  // one; the rename run then says it has none. The ID3v2 texts come as
  // UTF-8, so names keep characters the ANSI code page cannot hold.
  std::optional<FileTags> tags = ReadFileTags(path);
  if (!tags) return L"";
  NamingPolicies policies;
  policies.forbidden = ForbiddenCharacterPolicyOf(g_settings.CantUseFilename);
  policies.emptyField = EmptyFieldPolicyOf(g_settings.NoSettingField);
  return ExpandTemplate(path, *chosen, ChooseTagTexts(tags->id3v1, tags->id3v2, g_settings.PreferID3v2),
                        policies);
}
