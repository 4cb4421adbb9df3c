#include "engine/list_file.h"

#include <string>

#include "engine/list_format.h"
#include "engine/path_rules.h"
#include "settings/template_list.h"
#include "win/file_lookup.h"
#include "win/text.h"
#include "win/ui.h"
#include "win/whole_file.h"

namespace {

bool g_loadFailed = false;
// The template list as it stood when the last load failed: a list that
// differs from it at close holds edits that cannot be saved.
std::vector<std::wstring> g_listAtFailedLoad;

constexpr const wchar_t* kReadFailedText = L"リストファイルを読み込めません。";
// The templates edited since the start go with the file that cannot be
// written: the user is told they are lost, not only that a file failed.
constexpr const wchar_t* kSaveFailedText =
    L"リストファイルを保存できないため、テンプレートの変更は保存されませんでした。";

}  // namespace

std::wstring ListFilePath(const std::wstring& directory) {
  return AddPathSeparator(directory.empty() ? win::ProgramDirectory() : directory) + kListFileName;
}

bool ListFileLoadFailed() { return g_loadFailed; }

void LoadListFileAt(const std::wstring& path, const std::function<void()>& announceDefaults) {
  if (win::NormalFileExists(path)) {
    // Until the file is read, the list in memory is not the file's: a load
    // that throws leaves the guard up, so the file is never replaced by it.
    g_loadFailed = true;
    g_listAtFailedLoad = g_templateList;
    std::vector<std::wstring> templates =
        ParseTemplateLines(win::FromAnsi(win::ReadWholeFile(path, kReadFailedText)));
    g_loadFailed = false;
    if (!templates.empty()) {
      g_templateList = std::move(templates);
      return;
    }
  }
  g_loadFailed = false;
  if (announceDefaults) announceDefaults();
  g_templateList = DefaultTemplates();
  SaveListFileAt(path);
}

ListFileSave SaveListFileAt(const std::wstring& path) {
  if (g_loadFailed)
    return g_templateList == g_listAtFailedLoad ? ListFileSave::kUnchanged : ListFileSave::kEditsLost;
  win::WriteWholeFile(path, win::ToAnsi(FormatTemplateLines(g_templateList)), kSaveFailedText);
  return ListFileSave::kSaved;
}

void LoadListFile(HWND owner, const std::wstring& directory) {
  LoadListFileAt(ListFilePath(directory), [owner] {
    win::MessageBoxText(owner,
                        L"リストファイルの内容が異常か、またはリストファイルがありません。\r\n"
                        L"新しいリストファイルを作成します。",
                        MB_OK | MB_ICONINFORMATION, L"ぽめろ 初期設定");
  });
}

ListFileSave SaveListFile(const std::wstring& directory) {
  return SaveListFileAt(ListFilePath(directory));
}
