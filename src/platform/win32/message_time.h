// Under X11 (Wine) a window asks the X server for the keyboard with the time
// of its thread's latest message, and the server ignores a request whose time
// is older than the latest focus change (after a click on the tray, or after
// the menu that chose the window closed) or newer than the server's own clock.
// So the request must carry a time that is fresh, but already past.
//
// Both ways of missing were seen. With the time of the click that opened the
// menu, the request lost to the window manager's focus change after that
// click. With a message posted and taken at once, the request said "now",
// which the server's clock had not always reached: traced under Wine 10, 3 of
// 77 requests were stamped 1 to 3 ms after the server's time, got no focus,
// and the keys pressed in those menus were lost. A message posted, left
// queued for a moment, then taken carries the time it was posted: after the
// click, and behind the server's clock by the pause (all 205 requests traced
// so got the focus). The pause is too short for a person to notice.
// On Windows all of this is harmless.
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
