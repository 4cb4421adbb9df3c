#include "app/folder_picker.h"

#include <shlobj.h>
#include <shobjidl.h>

namespace {

// Releases a COM pointer when the scope ends.
template <typename T>
struct Released {
  T* p = nullptr;
  ~Released() {
    if (p) p->Release();
  }
};

}  // namespace

std::optional<std::wstring> PickFolder(HWND owner, const wchar_t* title) {
  Released<IFileOpenDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IFileOpenDialog, reinterpret_cast<void**>(&dialog.p))))
    return std::nullopt;
  FILEOPENDIALOGOPTIONS options = 0;
  dialog.p->GetOptions(&options);
  dialog.p->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
  dialog.p->SetTitle(title);
  if (FAILED(dialog.p->Show(owner))) return std::nullopt;
  Released<IShellItem> item;
  if (FAILED(dialog.p->GetResult(&item.p))) return std::nullopt;
  wchar_t* path = nullptr;
  if (FAILED(item.p->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path) return std::nullopt;
  std::wstring chosen = path;
  CoTaskMemFree(path);
  return chosen;
}
