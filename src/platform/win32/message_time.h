// Under X11 (Wine) a window asks the window manager for the keyboard with the
// time of its thread's latest message, and the window manager refuses a request
// older than its own latest focus change: after a click on the tray, or after
// the menu that chose the window closed. A fresh message makes the request new.
// On Windows it is harmless.
#pragma once

#include <windows.h>

namespace kobex::win32 {

// Takes a message of now off the queue for `window`. A failure leaves the old
// time, which costs only the keyboard under such a window manager.
inline void TakeFreshMessageTime(HWND window) {
  MSG fresh;
  if (PostMessageA(window, WM_NULL, 0, 0)) (void)PeekMessageA(&fresh, window, WM_NULL, WM_NULL, PM_REMOVE);
}

}  // namespace kobex::win32
