// The notification icon on Win32: its picture, quenzicon, from the program's
// resources, and Shell_NotifyIconA with the form's 88-byte record.
#pragma once

#include <windows.h>

#include "platform/host.h"
#include "platform/win32/handles.h"

namespace kobex::win32 {

class ShellIcon final : public NotifyArea {
 public:
  // Loads quenzicon: the program's icon, 32 x 32. Throws Error.
  void Load(HINSTANCE instance);
  HICON picture() const { return quenzicon_.get(); }

  bool Shell_NotifyIconA(std::int32_t message, const NotifyIconRecord& record) override;

 private:
  OwnedIcon quenzicon_;
};

}  // namespace kobex::win32
