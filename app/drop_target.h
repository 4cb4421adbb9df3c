// The list view's OLE drop target: accepts file lists (CF_HDROP) with the
// copy effect and refuses anything else.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

// The paths of a dropped file list, in its order.
std::vector<std::wstring> PathsOfDrop(HDROP drop);

class DropTarget : public IDropTarget {
 public:
  using DropHandler = std::function<void(const std::vector<std::wstring>&)>;
  explicit DropTarget(DropHandler onDrop) : onDrop_(std::move(onDrop)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point,
                                      DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point,
                                 DWORD* effect) override;

 private:
  virtual ~DropTarget() = default;
  DWORD Effect(DWORD allowed) const;

  LONG references_ = 1;
  bool hasFiles_ = false;
  DropHandler onDrop_;
};
