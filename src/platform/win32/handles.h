// Owners of Windows handles: each frees its handle when it goes, on every way out.
#pragma once

#include <windows.h>

namespace kobex::win32 {

template <class H, auto Free>
class Owned {
 public:
  explicit Owned(H handle = nullptr) noexcept : handle_(handle) {}
  ~Owned() { reset(); }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Owned(Owned&& other) noexcept : handle_(other.release()) {}
  Owned& operator=(Owned&& other) noexcept {
    reset(other.release());
    return *this;
  }

  H get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != nullptr; }
  void reset(H handle = nullptr) noexcept {
    // A handle this program made and holds frees without fail; nothing could be done otherwise anyway.
    if (handle_) (void)Free(handle_);
    handle_ = handle;
  }
  // Gives the handle up to a new owner.
  H release() noexcept {
    H handle = handle_;
    handle_ = nullptr;
    return handle;
  }

 private:
  H handle_;
};

using OwnedIcon = Owned<HICON, &DestroyIcon>;
using OwnedBitmap = Owned<HBITMAP, &DeleteObject>;
using OwnedBrush = Owned<HBRUSH, &DeleteObject>;
using OwnedMenu = Owned<HMENU, &DestroyMenu>;  // its submenus go with it
using OwnedWindow = Owned<HWND, &DestroyWindow>;
using OwnedHandle = Owned<HANDLE, &CloseHandle>;  // a kernel object: an event, a process, a thread

}  // namespace kobex::win32
