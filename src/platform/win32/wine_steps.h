// The steps taken only because of Wine (its X11 desktop, and its tray, which
// gives no icon rectangle); each is harmless on Windows. How each fault showed:
// docs/linux-and-wine.md.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/win32/handles.h"

namespace kobex::win32::wine {

// A window of its own for the tray menu. Under X11 keys go to the window with
// the X focus, which a window manager gives only to a window it can see, never
// to the hidden main window; so a one-pixel window under the menu, near its
// corner, shown without activation and made foreground, owns the menu.
class MenuOwner {
 public:
  // Registers the owner's window class. Throws Error.
  static void Register(HINSTANCE instance);
  MenuOwner(HINSTANCE instance, HWND mainWindow, POINT at);
  // Without it the main window owns the menu: all works but keys under X11.
  HWND get(HWND fallback) const { return window_ ? window_.get() : fallback; }

 private:
  OwnedWindow window_;
};

// A focus request the X server takes: Wine stamps it with the time of the
// thread's latest posted message, and X ignores one newer than its own clock or
// older than the click. So the thread gets a message kMessageAgeMs old; a
// failure keeps the old time, costing only the keyboard under X11.
inline constexpr DWORD kMessageAgeMs = 20;
void TakeFreshMessageTime(HWND window);

// The icon's rectangle where the shell gives none: in Wine's tray each icon is
// a window, the one under the pointer. It counts only if it holds the pointer
// (a docked icon's window may report its place in the tray instead).
std::optional<RECT> TrayIconUnderPointer(POINT pointer);

}  // namespace kobex::win32::wine
