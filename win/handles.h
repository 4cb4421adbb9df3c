// Small owning wrappers for what Win32 hands out and wants back: each closes
// its handle once, when it goes, and can be moved but not copied.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace win {

// Traits: the handle type, how it is closed, and its "none" value.
template <typename Traits>
class Owned {
  using Handle = typename Traits::Handle;
  static inline const Handle Invalid = Traits::Invalid();

 public:
  Owned() = default;
  explicit Owned(Handle handle) : handle_(handle) {}
  Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, Invalid)) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.handle_, Invalid));
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  ~Owned() { Reset(); }

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != Invalid; }
  void Reset(Handle handle = Invalid) {
    if (handle_ != Invalid) Traits::Close(handle_);
    handle_ = handle;
  }
  Handle Release() { return std::exchange(handle_, Invalid); }
  // For the functions that hand a handle back through a pointer.
  Handle* Receive() {
    Reset();
    return &handle_;
  }

 private:
  Handle handle_ = Invalid;
};

template <typename H, auto CloseFunction, bool InvalidIsMinusOne = false>
struct HandleTraits {
  using Handle = H;
  static void Close(H handle) { CloseFunction(handle); }
  static H Invalid() { return InvalidIsMinusOne ? reinterpret_cast<H>(INVALID_HANDLE_VALUE) : H{}; }
};

// A file handle: CreateFileW gives INVALID_HANDLE_VALUE on failure.
using OwnedFile = Owned<HandleTraits<HANDLE, CloseHandle, true>>;
// Event, thread, process: null on failure.
using OwnedHandle = Owned<HandleTraits<HANDLE, CloseHandle>>;
using OwnedKey = Owned<HandleTraits<HKEY, RegCloseKey>>;
using OwnedFont = Owned<HandleTraits<HFONT, DeleteObject>>;
using OwnedBitmap = Owned<HandleTraits<HBITMAP, DeleteObject>>;
using OwnedRegion = Owned<HandleTraits<HRGN, DeleteObject>>;
using OwnedIcon = Owned<HandleTraits<HICON, DestroyIcon>>;
using OwnedLibrary = Owned<HandleTraits<HMODULE, FreeLibrary>>;
using OwnedImageList = Owned<HandleTraits<HIMAGELIST, ImageList_Destroy>>;
// A menu that no window holds (one on a window's menu bar goes with it).
using OwnedMenu = Owned<HandleTraits<HMENU, DestroyMenu>>;
using OwnedAcceleratorTable = Owned<HandleTraits<HACCEL, DestroyAcceleratorTable>>;

}  // namespace win
