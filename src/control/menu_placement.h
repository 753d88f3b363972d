// Where the tray menu opens: beside the icon and whole on the screen, above it
// when the icon is in the lower half of the work area (the taskbar at the
// bottom, as on Windows), to its left when in the right half; with the taskbar
// at the screen's left or right edge, beside the icon toward the screen. A press that
// did not come from the mouse over the icon (the keyboard: Enter, Space,
// Shift+F10 or the menu key on the icon) opens it at the icon, not at the
// pointer, wherever the pointer happens to be.
#pragma once

#include <optional>

namespace kobex {

struct ScreenPoint {
  int x, y;
};

struct ScreenRect {
  int left, top, right, bottom;  // right and bottom exclusive
  bool Contains(ScreenPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  bool operator==(const ScreenRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

struct MenuPlacement {
  ScreenPoint at;                     // the menu's corner is here
  bool extendsLeft = false;           // right-aligned at `at`: the menu stands to its left
  bool extendsUp = false;             // bottom-aligned at `at`: the menu stands above it
  std::optional<ScreenRect> exclude;  // the icon, which the menu must not cover
  bool fromKeyboard = false;          // the pointer was not on the icon
  bool besideSideways = false;        // a taskbar at the left or right edge: the menu beside the icon, not above it
};

// `icon` is the icon's rectangle where the system tells it (Windows 7 and
// later); without it the menu opens at the pointer, as for the mouse.
MenuPlacement PlaceTrayMenu(ScreenPoint pointer, std::optional<ScreenRect> icon, ScreenRect workArea);

}  // namespace kobex
