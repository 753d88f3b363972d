// Where the tray menu opens: beside the icon, whole on the screen, toward the
// screen's middle. A press not made by the mouse over the icon (the keyboard)
// opens it at the icon, wherever the pointer is.
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

// Without the icon's rectangle (before Windows 7) the menu opens at the pointer.
MenuPlacement PlaceTrayMenu(ScreenPoint pointer, std::optional<ScreenRect> icon, ScreenRect workArea);

}  // namespace kobex
