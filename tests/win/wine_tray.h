// Wine's tray icons as another program sees them: without an X11 system tray,
// one child window per icon in the top-level window of class
// __winex11_standalone_tray; docked in an X11 system tray (XEmbed), children
// of the window that stands for the tray's X window (__wine_x11_foreign_window).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kobex::probe {

inline std::string ClassOf(HWND hwnd) {
  char name[256] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

inline BOOL CALLBACK Collect(HWND hwnd, LPARAM out) {
  reinterpret_cast<std::vector<HWND>*>(out)->push_back(hwnd);
  return TRUE;
}

inline std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(Collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

inline std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> windows;
  EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

inline constexpr char kTrayIconClass[] = "__winex11_tray_icon";

// The screen rectangles of the icons the tray shows now.
inline std::vector<RECT> TrayIcons() {
  std::vector<RECT> icons;
  for (HWND tray : TopLevelWindows()) {
    const std::string name = ClassOf(tray);
    if (name != "__winex11_standalone_tray" && name != "__wine_x11_foreign_window") continue;
    for (HWND icon : Children(tray)) {
      RECT rect;
      if (ClassOf(icon) == kTrayIconClass && IsWindowVisible(icon) && GetWindowRect(icon, &rect)) {
        icons.push_back(rect);
      }
    }
  }
  return icons;
}

}  // namespace kobex::probe
