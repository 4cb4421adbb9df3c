#include "engine/name_builder.h"

#include <windows.h>

#include "audio_library/tag_access.h"

namespace {

const std::wstring* ChooseTemplate(const Preferences& preferences, const std::wstring& templ,
                                   int index, std::wstring& defaultTemplate) {
  if (!templ.empty()) return &templ;
  if (index < 0) {
    defaultTemplate = preferences.settings.defaultTemplate;
    if (defaultTemplate.empty()) defaultTemplate = kDefaultTemplate;
    return &defaultTemplate;
  }
  if (static_cast<size_t>(index) < preferences.templates.size())
    return &preferences.templates[index];
  return nullptr;
}

// The process's current folder, against which a full-path template's
// relative text is resolved; empty when the platform gives none.
std::wstring CurrentFolder() {
  std::wstring folder(MAX_PATH, L'\0');
  for (int tries = 0; tries < 3; ++tries) {
    DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
    if (n == 0) return L"";
    if (n < folder.size()) {
      folder.resize(n);
      return folder;
    }
    folder.assign(n, L'\0');  // grown meanwhile: n is the size it needs now
  }
  return L"";
}

}  // namespace

std::wstring ExpandTemplateHere(const std::wstring& sourcePath, const std::wstring& templ,
                                const TagTexts& tag, const NamingPolicies& policies) {
  return ExpandTemplate(sourcePath, templ, tag, policies, CurrentFolder());
}

std::wstring BuildRenameName(const Preferences& preferences, const std::wstring& path,
                             const std::wstring& templ, int index) {
  const Settings& settings = preferences.settings;
  std::wstring defaultTemplate;
  const std::wstring* chosen = ChooseTemplate(preferences, templ, index, defaultTemplate);
  if (!chosen) return L"";
  // A file the library cannot be given gets no target, like an unreadable
  // one; the rename run then says it has none. The ID3v2 texts come as
  // UTF-8, so names keep characters the ANSI code page cannot hold.
  std::optional<FileTags> tags = ReadFileTags(path);
  if (!tags) return L"";
  return ExpandTemplateHere(path, *chosen,
                            ChooseTagTexts(tags->id3v1, tags->id3v2, settings.preferId3v2),
                            NamingPoliciesFrom(settings));
}
