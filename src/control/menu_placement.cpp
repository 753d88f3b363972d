#include "control/menu_placement.h"

namespace kobex {

MenuPlacement PlaceTrayMenu(ScreenPoint pointer, std::optional<ScreenRect> icon, ScreenRect workArea) {
  MenuPlacement place;
  place.fromKeyboard = icon && !icon->Contains(pointer);
  // What the menu stands beside: the icon when it is known, else the pointer.
  const ScreenRect anchor = icon ? *icon : ScreenRect{pointer.x, pointer.y, pointer.x + 1, pointer.y + 1};
  // Doubled, to compare centres without rounding.
  place.extendsUp = anchor.top + anchor.bottom > workArea.top + workArea.bottom;
  place.extendsLeft = anchor.left + anchor.right > workArea.left + workArea.right;
  if (!icon) {
    place.at = pointer;
    return place;
  }
  place.exclude = icon;
  // A taskbar at a side edge stands beside the work area, not above or below it.
  place.besideSideways = icon->right <= workArea.left || icon->left >= workArea.right;
  if (place.besideSideways) {
    place.at.x = place.extendsLeft ? icon->left : icon->right;
    place.at.y = !place.fromKeyboard ? pointer.y : place.extendsUp ? icon->bottom : icon->top;
    return place;
  }
  // Along the taskbar, at the pointer when it is on the icon; beside the icon's edge when the keyboard
  // opened the menu. Above or below the icon, never over it.
  place.at.x = !place.fromKeyboard ? pointer.x : place.extendsLeft ? icon->right : icon->left;
  place.at.y = place.extendsUp ? icon->top : icon->bottom;
  return place;
}

}  // namespace kobex
