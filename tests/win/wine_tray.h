// Wine's standalone tray as another program sees it: a top-level window of
// class __winex11_standalone_tray with one child window per icon.
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

// The screen rectangles of the icons the tray shows now.
inline std::vector<RECT> TrayIcons() {
  std::vector<RECT> icons;
  for (HWND tray : TopLevelWindows()) {
    if (ClassOf(tray) != "__winex11_standalone_tray") continue;
    for (HWND icon : Children(tray)) {
      if (ClassOf(icon) != "__winex11_tray_icon" || !IsWindowVisible(icon)) continue;
      RECT rect;
      GetWindowRect(icon, &rect);
      icons.push_back(rect);
    }
  }
  return icons;
}

}  // namespace kobex::probe
