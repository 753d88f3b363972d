// The tray menu on Win32: built from the menu's entries, popped up beside the
// icon (see menu_placement.h) from a window of its own, so that it gets the
// keyboard under an X11 window manager too (wine_steps.h), and the entry
// chosen handed back.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <vector>

#include "platform/menu.h"
#include "platform/win32/shell_icon.h"

namespace kobex::win32 {

class TrayPopup {
 public:
  explicit TrayPopup(HINSTANCE instance) : instance_(instance) {}

  // Registers the class of the menu's owner window. Throws Error.
  void Register();

  // Pops the entries up beside `icon`, `defaultItem` in bold, and returns the
  // index of the entry chosen, or nothing when the menu was dismissed (the
  // keyboard then goes back to the notification area if it opened the menu).
  // Falls back to `mainWindow` as the owner. Throws Error.
  std::optional<std::size_t> Show(HWND mainWindow, const ShellIcon& icon, const std::vector<MenuEntry>& entries,
                                  std::size_t defaultItem);

 private:
  HINSTANCE instance_;
};

}  // namespace kobex::win32
