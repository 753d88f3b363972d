// The notification icon on Win32: its picture quenzicon, Shell_NotifyIconA with
// the form's record, and for the menu where the icon stands.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/host.h"
#include "platform/win32/handles.h"

namespace kobex::win32 {

class ShellIcon final : public NotifyArea {
 public:
  explicit ShellIcon(HINSTANCE instance) : instance_(instance) {}

  // quenzicon at the current small-icon size, loaded again when it changed. Throws Error.
  HICON Picture();

  // Remembers which icon the record names; whether the shell has it is the form's to know.
  bool Shell_NotifyIconA(std::int32_t message, const NotifyIconRecord& record) override;

  // That icon's rectangle from the system (Windows 7 on) or Wine's tray; or nothing.
  std::optional<RECT> Rect(POINT pointer) const;
  // NIM_SETFOCUS: the keyboard back to the tray after a keyboard menu's Escape.
  void ReturnFocus() const;

 private:
  HINSTANCE instance_;
  OwnedIcon quenzicon_;
  SIZE loadedSize_{0, 0};
  HWND owner_ = nullptr;  // the icon's window and id, from the last record; none before the first
  UINT id_ = 0;
};

}  // namespace kobex::win32
