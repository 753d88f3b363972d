// The window classes of Wine's tray, where each icon is a window of its own:
// Wine 8's X11 driver makes the first of each pair, Wine 10's explorer the second.
#pragma once

namespace kobex::win32::wine {

inline constexpr const char* kTrayIconClasses[] = {"__winex11_tray_icon", "__wine_tray_icon"};
inline constexpr const char* kStandaloneTrayClasses[] = {"__winex11_standalone_tray", "Shell_TrayWnd"};
// An X window docked in the desktop's own tray, holding Wine 8's icon.
inline constexpr char kForeignWindowClass[] = "__wine_x11_foreign_window";

}  // namespace kobex::win32::wine
