// Under X11 (Wine) a window asks the window manager for the keyboard with the
// time of its thread's latest message, and the window manager refuses a request
// older than its own latest focus change: after a click on the tray, or after
// the menu that chose the window closed. A fresh message makes the request new.
//
// A request made within a few milliseconds of the click that opened the menu
// was ignored all the same now and then, on a machine that runs 32-bit
// programs natively: the menu's owner got no X focus (no FocusIn in Wine's
// +event trace) and the menu no keys, 5 times in 150 menus opened in a row.
// With a pause of 20 ms before the request none did, in 150 menus with the
// pause after the fresh message and 300 with it before. Which focus change the
// request lost to is not known; the pause is too short for a person to notice.
// On Windows all of this is harmless.
#pragma once

#include <windows.h>

namespace kobex::win32 {

inline constexpr DWORD kClickSettleMs = 20;

// Lets the click settle, then takes a message of now off the queue for
// `window`. A failure leaves the old time, which costs only the keyboard under
// such a window manager.
inline void TakeFreshMessageTime(HWND window) {
  Sleep(kClickSettleMs);
  MSG fresh;
  if (PostMessageA(window, WM_NULL, 0, 0)) (void)PeekMessageA(&fresh, window, WM_NULL, WM_NULL, PM_REMOVE);
}

}  // namespace kobex::win32
