// Wine's tray icons as another program sees them, one window per icon:
//                     without an X11 system tray            docked in one (XEmbed)
//   Wine 8 (X11 driver)  children of __winex11_standalone_tray  children of __wine_x11_foreign_window
//                        of class __winex11_tray_icon          of class __winex11_tray_icon
//   Wine 10 (explorer)   children of Shell_TrayWnd             top-level windows
//                        of class __wine_tray_icon             of class __wine_tray_icon
#pragma once

#include <windows.h>

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
  const std::string name = ClassOf(hwnd);
  for (const char* known : classes) {
    if (name == known) return true;
  }
  return false;
}

inline bool IsTrayIcon(HWND hwnd) { return ClassIsOneOf(hwnd, win32::wine::kTrayIconClasses); }

// The tray's own window, when it is one of Wine's stand-alone trays.
inline bool IsStandaloneTray(HWND hwnd) { return ClassIsOneOf(hwnd, win32::wine::kStandaloneTrayClasses); }

// Whether any window of a tray that Wine 8 or Wine 10 makes exists, shown or
// not: without one, no count of icons means anything. (Both make a
// Shell_TrayWnd, so this tells that a tray runs, not which icons are known.)
inline bool KnownTrayExists() {
  for (HWND top : TopLevelWindows()) {
    if (IsStandaloneTray(top) || IsTrayIcon(top) || ClassOf(top) == win32::wine::kForeignWindowClass) return true;
  }
  return false;
}

// The windows of the icons the tray shows now.
inline std::vector<HWND> TrayIconWindows() {
  std::vector<HWND> icons;
  for (HWND top : TopLevelWindows()) {
    if (IsTrayIcon(top)) {
      if (IsWindowVisible(top)) icons.push_back(top);
      continue;
    }
    if (!IsStandaloneTray(top) && ClassOf(top) != win32::wine::kForeignWindowClass) continue;
    for (HWND icon : Children(top)) {
      if (IsTrayIcon(icon) && IsWindowVisible(icon)) icons.push_back(icon);
    }
  }
  return icons;
}

// The screen rectangles of the icons the tray shows now.
inline std::vector<RECT> TrayIcons() {
  std::vector<RECT> icons;
  for (HWND icon : TrayIconWindows()) {
    RECT rect;
    if (GetWindowRect(icon, &rect)) icons.push_back(rect);
  }
  return icons;
}

}  // namespace kobex::probe
