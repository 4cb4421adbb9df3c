#include "engine/list_file.h"

#include <string>

#include "engine/list_format.h"
#include "engine/path_rules.h"
#include "win/file_lookup.h"
#include "win/text.h"
#include "win/ui.h"
#include "win/whole_file.h"

namespace {

constexpr const wchar_t* kReadFailedText = L"リストファイルを読み込めません。";
// The templates edited since the start go with the file that cannot be
// written: the user is told they are lost, not only that a file failed.
constexpr const wchar_t* kSaveFailedText =
    L"リストファイルを保存できないため、テンプレートの変更は保存されませんでした。";

}  // namespace

std::wstring ListFile::PathIn(const std::wstring& directory) {
  return AddPathSeparator(directory.empty() ? win::ProgramDirectory() : directory) + kListFileName;
}

void ListFile::Load(TemplateList& templates, const std::function<void()>& announceDefaults) {
  if (win::NormalFileExists(path_)) {
    // Until the file is read, the list in memory is not the file's: a load
    // that throws leaves the guard up, so the file is never replaced by it.
    loadFailed_ = true;
    listAtFailedLoad_ = templates;
    TemplateList read =
        ParseTemplateLines(win::FromAnsi(win::ReadWholeFile(path_, kReadFailedText)));
    loadFailed_ = false;
    if (!read.empty()) {
      templates = std::move(read);
      return;
    }
  }
  loadFailed_ = false;
  if (announceDefaults) announceDefaults();
  templates = DefaultTemplates();
  Save(templates);
}

ListFileSave ListFile::Save(const TemplateList& templates) {
  if (loadFailed_)
    return templates == listAtFailedLoad_ ? ListFileSave::kUnchanged : ListFileSave::kEditsLost;
  win::WriteWholeFile(path_, win::ToAnsi(FormatTemplateLines(templates)), kSaveFailedText);
  return ListFileSave::kSaved;
}

void LoadListFile(HWND owner, ListFile& file, TemplateList& templates) {
  file.Load(templates, [owner] {
    win::MessageBoxText(owner,
                        L"リストファイルの内容が異常か、またはリストファイルがありません。\r\n"
                        L"新しいリストファイルを作成します。",
                        MB_OK | MB_ICONINFORMATION, L"ぽめろ 初期設定");
  });
}
