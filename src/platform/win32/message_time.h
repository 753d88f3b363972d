// Under X11 (Wine) a window asks the X server for the keyboard with the time
// of its thread's latest posted or input message, converted to the server's
// clock; the server ignores a request older than the latest focus change or
// newer than its own clock. TakeFreshMessageTime gives the thread a message
// stamped a moment ago: later than the click that opened the menu, and about
// kMessageAgeMs behind the server's clock, less Wine's error in converting.
// How each way of missing showed, and the traces: docs/linux-and-wine.md,
// "Keys in the menu". On Windows all of this is harmless.
#pragma once

#include <windows.h>

namespace kobex::win32 {

inline constexpr DWORD kMessageAgeMs = 20;

// Gives `window`'s thread a latest message stamped a moment ago. A failure
// leaves the old time, which costs only the keyboard under X11.
inline void TakeFreshMessageTime(HWND window) {
  if (!PostMessageA(window, WM_NULL, 0, 0)) return;
  Sleep(kMessageAgeMs);
  MSG fresh;
  (void)PeekMessageA(&fresh, window, WM_NULL, WM_NULL, PM_REMOVE);
}

}  // namespace kobex::win32
