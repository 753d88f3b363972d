// The steps the launcher takes only because of Wine (its X11 desktop, and its
// tray, which answers no icon rectangle); each is harmless on Windows. How
// each fault showed: docs/linux-and-wine.md, "Keys in the menu", and below.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/win32/handles.h"

namespace kobex::win32::wine {

// 1. A window of its own for the tray menu. The menu reads its keys from the
// queue of the thread whose window has the keyboard; under X11 that is the
// window with the X input focus, which a window manager gives only to a window
// it can see, never to the hidden main window: with the main window as owner,
// no key reached the menu (shown by hand: moving the X focus onto the menu's
// own X window made its access key work at once). So the menu is owned by a
// one-pixel window under it, near its corner, shown without activation and then made
// foreground. On Windows the main window, made foreground, would own the menu
// as well.
class MenuOwner {
 public:
  // Registers the owner's window class. Throws Error.
  static void Register(HINSTANCE instance);
  MenuOwner(HINSTANCE instance, HWND mainWindow, POINT at);
  // Without it (no window could be made) the main window owns the menu, which
  // still works everywhere but for the keys under an X11 window manager.
  HWND get(HWND fallback) const { return window_ ? window_.get() : fallback; }

 private:
  OwnedWindow window_;
};

// 2. A focus request Wine's X server takes. Wine asks the X server for the
// keyboard with the time of the thread's latest posted or input message,
// converted to the server's clock; the server ignores a request older than the
// latest focus change or newer than its own clock. This gives the thread a
// message stamped kMessageAgeMs ago: later than the click that opened the
// menu, and behind the server's clock by about that much, less Wine's error
// in converting. (Traced with xtrace: a request stamped "now" was now and then
// ahead of the server's clock, got no focus, and the menu lost its keys.) A
// failure leaves the old time, which costs only the keyboard under X11.
inline constexpr DWORD kMessageAgeMs = 20;
void TakeFreshMessageTime(HWND window);

// 3. The icon's rectangle where the shell gives none. Wine's tray answers no
// rectangle (Shell_NotifyIconGetRect is a stub, as Wine's +systray trace
// says), but there each icon is a window of its own: the one under the
// pointer, when a click on the icon opened the menu. Its rectangle counts only
// if it holds the pointer (a docked icon's window may report its place in the
// tray rather than on the screen). Nothing on Windows, which has no such
// windows.
std::optional<RECT> TrayIconUnderPointer(POINT pointer);

}  // namespace kobex::win32::wine
