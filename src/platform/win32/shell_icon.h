// The notification icon on Win32: its picture, quenzicon, from the program's
// resources at the small-icon size of the display of now; Shell_NotifyIconA
// with the form's 88-byte record; and, for the menu, where the icon stands and
// giving the keyboard back to the notification area.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/host.h"
#include "platform/win32/handles.h"

namespace kobex::win32 {

class ShellIcon final : public NotifyArea {
 public:
  explicit ShellIcon(HINSTANCE instance) : instance_(instance) {}

  // quenzicon at the small-icon size the system reports now (16 pixels at
  // 100 %, 24 at 150 %...), loaded again whenever that size has changed.
  // Throws Error.
  HICON Picture();

  // Remembers which icon the record names (its window and id). Whether the
  // shell has it is the form's to know.
  bool Shell_NotifyIconA(std::int32_t message, const NotifyIconRecord& record) override;

  // That icon's rectangle on the screen, where the system tells it
  // (Windows 7 and later), or where the icon is a window of its own under the
  // pointer (Wine's tray); nothing otherwise.
  std::optional<RECT> Rect(POINT pointer) const;
  // Gives the keyboard back to the notification area (NIM_SETFOCUS), as after
  // a menu the keyboard opened and Escape closed.
  void ReturnFocus() const;

 private:
  HINSTANCE instance_;
  OwnedIcon quenzicon_;
  SIZE loadedSize_{0, 0};
  HWND owner_ = nullptr;  // the icon's window and id, from the last record; none before the first
  UINT id_ = 0;
};

}  // namespace kobex::win32
