#include "control/menu_placement.h"

#include <gtest/gtest.h>

#include <tuple>

namespace kobex {
namespace {

// A 1024 x 768 screen; the work area is what the taskbar leaves.
constexpr ScreenRect kAboveBottomTaskbar{0, 0, 1024, 738};
constexpr ScreenRect kBelowTopTaskbar{0, 30, 1024, 768};
constexpr ScreenRect kIconBottomRight{980, 744, 996, 760};
constexpr ScreenRect kIconTopLeft{5, 7, 21, 23};
constexpr ScreenRect kLeftOfRightTaskbar{0, 0, 964, 768};
constexpr ScreenRect kIconInRightTaskbar{992, 692, 1008, 708};

struct PlacementCase {
  const char* what;
  ScreenPoint pointer;
  std::optional<ScreenRect> icon;
  ScreenRect workArea;
  ScreenPoint at;
  bool extendsLeft, extendsUp, fromKeyboard, sideways = false;
};

// On the icon from the mouse: beside it, from the pointer's column (or row, in a side taskbar). From the
// keyboard (the pointer elsewhere): from the icon's corner. Without an icon rectangle: at the pointer.
const PlacementCase kCases[] = {
    {"mouse, icon bottom right", {988, 750}, kIconBottomRight, kAboveBottomTaskbar, {988, 744}, true, true, false},
    {"keyboard, icon bottom right", {100, 100}, kIconBottomRight, kAboveBottomTaskbar, {996, 744}, true, true, true},
    {"mouse, icon top left", {13, 15}, kIconTopLeft, kBelowTopTaskbar, {13, 23}, false, false, false},
    {"keyboard, icon top left", {900, 700}, kIconTopLeft, kBelowTopTaskbar, {5, 23}, false, false, true},
    {"the icon's last pixel", {995, 759}, kIconBottomRight, kAboveBottomTaskbar, {995, 744}, true, true, false},
    {"one pixel past the icon", {996, 759}, kIconBottomRight, kAboveBottomTaskbar, {996, 744}, true, true, true},
    {"no icon, bottom right", {990, 750}, std::nullopt, kAboveBottomTaskbar, {990, 750}, true, true, false},
    {"no icon, top left", {13, 32}, std::nullopt, kAboveBottomTaskbar, {13, 32}, false, false, false},
    {"mouse, side taskbar", {1000, 700}, kIconInRightTaskbar, kLeftOfRightTaskbar, {992, 700}, true, true, false, true},
    {"keyboard, side taskbar", {10, 10}, kIconInRightTaskbar, kLeftOfRightTaskbar, {992, 708}, true, true, true, true},
    {"monitor left of the main", {-32, 1008}, ScreenRect{-40, 1000, -24, 1016}, {-1280, 0, 0, 994}, {-32, 1000}, true,
     true, false},
};

TEST(PlaceTrayMenu, StandsBesideTheIconWholeOnTheScreen) {
  for (const PlacementCase& c : kCases) {
    const MenuPlacement p = PlaceTrayMenu(c.pointer, c.icon, c.workArea);
    EXPECT_EQ(std::tie(p.at.x, p.at.y, p.extendsLeft, p.extendsUp, p.fromKeyboard, p.besideSideways),
              std::tie(c.at.x, c.at.y, c.extendsLeft, c.extendsUp, c.fromKeyboard, c.sideways)) << c.what;
    EXPECT_EQ(p.exclude, c.icon) << c.what << ": the menu never covers the icon it belongs to";
  }
}

}  // namespace
}  // namespace kobex
