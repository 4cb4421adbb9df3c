#include "engine/list_file.h"

#include <algorithm>
#include <string>
#include <system_error>

#include "engine/list_format.h"
#include "engine/path_rules.h"
#include "settings/template_list.h"
#include "win/file_lookup.h"
#include "win/handles.h"
#include "win/text.h"
#include "win/ui.h"

namespace {

bool g_loadFailed = false;
// The template list as it stood when the last load failed: a list that
// differs from it at close holds edits that cannot be saved.
std::vector<std::wstring> g_listAtFailedLoad;

[[noreturn]] void ThrowLastError(const char* what) {
  throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

std::string ReadWholeFile(const std::wstring& path) {
  win::OwnedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) ThrowLastError("open list file");
  std::string bytes;
  char buffer[16384];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr)) ThrowLastError("read list file");
    if (got == 0) break;
    bytes.append(buffer, got);
  }
  return bytes;
}

void WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  win::OwnedFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) ThrowLastError("create list file");
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD wrote = 0;
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    if (!WriteFile(file.Get(), bytes.data() + done, chunk, &wrote, nullptr) || wrote == 0)
      ThrowLastError("write list file");
    done += wrote;
  }
}

}  // namespace

std::wstring ListFilePath(const std::wstring& directory) {
  return AddPathSeparator(directory.empty() ? win::ProgramDirectory() : directory) + kListFileName;
}

bool ListFileLoadFailed() { return g_loadFailed; }

void LoadListFileAt(const std::wstring& path, const std::function<void()>& announceDefaults) {
  if (win::NormalFileExists(path)) {
    std::vector<std::wstring> templates;
    try {
      templates = ParseTemplateLines(win::FromAnsi(ReadWholeFile(path)));
    } catch (...) {
      g_loadFailed = true;
      g_listAtFailedLoad = g_templateList;
      throw;
    }
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
  WriteWholeFile(path, win::ToAnsi(FormatTemplateLines(g_templateList)));
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
