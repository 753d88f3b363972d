// The tray menu on Win32: built from the entries, popped up beside the icon
// from a window of its own (wine_steps.h), the chosen entry handed back.
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

  // The chosen entry's index, or nothing when dismissed; `mainWindow` owns the
  // menu where its own window cannot be made. Throws Error.
  std::optional<std::size_t> Show(HWND mainWindow, const ShellIcon& icon, const std::vector<MenuEntry>& entries,
                                  std::size_t defaultItem);

 private:
  HINSTANCE instance_;
};

}  // namespace kobex::win32
