// Wine's tray icons as another program sees them, one window each. Without an X11 system tray they are
// children of Wine 8's __winex11_standalone_tray or Wine 10's Shell_TrayWnd; docked in one (XEmbed), children
// of Wine 8's __wine_x11_foreign_window, or Wine 10's top-level windows.
#pragma once

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "platform/win32/wine_tray_classes.h"

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

template <std::size_t N>
inline bool ClassIsOneOf(HWND hwnd, const char* const (&classes)[N]) {
  return std::find(std::begin(classes), std::end(classes), ClassOf(hwnd)) != std::end(classes);
}

inline bool IsTrayIcon(HWND hwnd) { return ClassIsOneOf(hwnd, win32::wine::kTrayIconClasses); }
inline bool IsStandaloneTray(HWND hwnd) { return ClassIsOneOf(hwnd, win32::wine::kStandaloneTrayClasses); }
inline bool IsTrayHolder(HWND hwnd) {
  return IsStandaloneTray(hwnd) || ClassOf(hwnd) == win32::wine::kForeignWindowClass;
}

// Whether a window of Wine 8's or 10's tray exists, shown or not: without one no count of icons means
// anything. (Both make a Shell_TrayWnd: this tells that a tray runs, not which icons it knows.)
inline bool KnownTrayExists() {
  const std::vector<HWND> windows = TopLevelWindows();
  return std::any_of(windows.begin(), windows.end(), [](HWND h) { return IsTrayHolder(h) || IsTrayIcon(h); });
}

// The windows of the icons the tray shows now.
inline std::vector<HWND> TrayIconWindows() {
  std::vector<HWND> icons;
  for (HWND top : TopLevelWindows()) {
    for (HWND icon : IsTrayHolder(top) ? Children(top) : std::vector<HWND>{top}) {
      if (IsTrayIcon(icon) && IsWindowVisible(icon)) icons.push_back(icon);
    }
  }
  return icons;
}

// The screen rectangles of the icons the tray shows now.
inline std::vector<RECT> TrayIcons() {
  std::vector<RECT> icons;
  for (HWND icon : TrayIconWindows()) {
    if (RECT rect; GetWindowRect(icon, &rect)) icons.push_back(rect);
  }
  return icons;
}

}  // namespace kobex::probe
