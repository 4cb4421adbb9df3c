#include "app/drop_target.h"

std::vector<std::wstring> PathsOfDrop(HDROP drop) {
  std::vector<std::wstring> paths;
  UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    DragQueryFileW(drop, i, path.data(), length + 1);
    path.resize(length);
    paths.push_back(path);
  }
  return paths;
}

namespace {

bool CarriesFiles(IDataObject* data) {
  FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  return data && data->QueryGetData(&format) == S_OK;
}

}  // namespace

HRESULT DropTarget::QueryInterface(REFIID riid, void** object) {
  if (riid == IID_IUnknown || riid == IID_IDropTarget) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG DropTarget::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG DropTarget::Release() {
  LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

DWORD DropTarget::Effect(DWORD allowed) const {
  return hasFiles_ && (allowed & DROPEFFECT_COPY) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
}

HRESULT DropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  hasFiles_ = CarriesFiles(data);
  *effect = Effect(*effect);
  return S_OK;
}

HRESULT DropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
  *effect = Effect(*effect);
  return S_OK;
}

HRESULT DropTarget::DragLeave() {
  hasFiles_ = false;
  return S_OK;
}

HRESULT DropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  *effect = DROPEFFECT_NONE;
  if (!CarriesFiles(data)) return S_OK;
  FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  if (data->GetData(&format, &medium) != S_OK) return S_OK;
  std::vector<std::wstring> paths;
  // A handle that cannot be locked holds no file list to read.
  if (GlobalLock(medium.hGlobal)) {
    GlobalUnlock(medium.hGlobal);
    paths = PathsOfDrop(static_cast<HDROP>(medium.hGlobal));
  }
  ReleaseStgMedium(&medium);
  *effect = DROPEFFECT_COPY;
  hasFiles_ = false;
  if (onDrop_) onDrop_(paths);
  return S_OK;
}
