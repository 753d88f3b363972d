#include "control/menu_placement.h"

#include <gtest/gtest.h>

namespace kobex {
namespace {

// A 1024 x 768 screen; the work area is what the taskbar leaves.
constexpr ScreenRect kAboveBottomTaskbar{0, 0, 1024, 738};
constexpr ScreenRect kBelowTopTaskbar{0, 30, 1024, 768};
constexpr ScreenRect kIconBottomRight{980, 744, 996, 760};
constexpr ScreenRect kIconTopLeft{5, 7, 21, 23};
constexpr ScreenRect kLeftOfRightTaskbar{0, 0, 964, 768};
constexpr ScreenRect kIconInRightTaskbar{992, 692, 1008, 708};
// A second monitor to the left of the first.
constexpr ScreenRect kLeftMonitorAboveTaskbar{-1280, 0, 0, 994};
constexpr ScreenRect kIconOnLeftMonitor{-40, 1000, -24, 1016};

struct PlacementCase {
  const char* what;
  ScreenPoint pointer;
  std::optional<ScreenRect> icon;
  ScreenRect workArea;
  ScreenPoint at;
  bool extendsLeft, extendsUp, fromKeyboard;
  bool sideways = false;
};

const PlacementCase kCases[] = {
    {"mouse on an icon at the bottom right: above it, to the left, from the pointer's column",
     {988, 750}, kIconBottomRight, kAboveBottomTaskbar, {988, 744}, true, true, false},
    {"keyboard, pointer elsewhere: at the icon's top right corner", {100, 100}, kIconBottomRight,
     kAboveBottomTaskbar, {996, 744}, true, true, true},
    {"mouse on an icon at the top left: below it, to the right", {13, 15}, kIconTopLeft, kBelowTopTaskbar,
     {13, 23}, false, false, false},
    {"keyboard on an icon at the top left: at its bottom left corner", {900, 700}, kIconTopLeft,
     kBelowTopTaskbar, {5, 23}, false, false, true},
    {"the pointer on the icon's last pixel is on the icon", {995, 759}, kIconBottomRight, kAboveBottomTaskbar,
     {995, 744}, true, true, false},
    {"one pixel past the icon is not", {996, 759}, kIconBottomRight, kAboveBottomTaskbar, {996, 744}, true, true,
     true},
    {"no icon rectangle, pointer at the bottom right: at the pointer, up and left", {990, 750}, std::nullopt,
     kAboveBottomTaskbar, {990, 750}, true, true, false},
    {"no icon rectangle, pointer at the top left: at the pointer, down and right", {13, 32}, std::nullopt,
     kAboveBottomTaskbar, {13, 32}, false, false, false},
    {"mouse on an icon in a taskbar at the right edge: to its left, up from the pointer", {1000, 700},
     kIconInRightTaskbar, kLeftOfRightTaskbar, {992, 700}, true, true, false, true},
    {"keyboard on an icon in a taskbar at the right edge: to its left, from its bottom", {10, 10},
     kIconInRightTaskbar, kLeftOfRightTaskbar, {992, 708}, true, true, true, true},
    {"an icon on a monitor left of the main one: above it, to its left", {-32, 1008}, kIconOnLeftMonitor,
     kLeftMonitorAboveTaskbar, {-32, 1000}, true, true, false},
};

TEST(PlaceTrayMenu, StandsBesideTheIconWholeOnTheScreen) {
  for (const PlacementCase& c : kCases) {
    SCOPED_TRACE(c.what);
    const MenuPlacement place = PlaceTrayMenu(c.pointer, c.icon, c.workArea);
    EXPECT_EQ(place.at.x, c.at.x);
    EXPECT_EQ(place.at.y, c.at.y);
    EXPECT_EQ(place.extendsLeft, c.extendsLeft);
    EXPECT_EQ(place.extendsUp, c.extendsUp);
    EXPECT_EQ(place.fromKeyboard, c.fromKeyboard);
    EXPECT_EQ(place.besideSideways, c.sideways);
    EXPECT_EQ(place.exclude, c.icon) << "the menu never covers the icon it belongs to";
  }
}

}  // namespace
}  // namespace kobex
