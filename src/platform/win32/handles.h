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

  H get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != nullptr; }
  void reset(H handle = nullptr) noexcept {
    if (handle_) Free(handle_);
    handle_ = handle;
  }

 private:
  H handle_;
};

using OwnedIcon = Owned<HICON, &DestroyIcon>;
using OwnedBitmap = Owned<HBITMAP, &DeleteObject>;
using OwnedBrush = Owned<HBRUSH, &DeleteObject>;
using OwnedMenu = Owned<HMENU, &DestroyMenu>;  // its submenus go with it
using OwnedWindow = Owned<HWND, &DestroyWindow>;

}  // namespace kobex::win32
