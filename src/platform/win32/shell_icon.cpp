#include "platform/win32/shell_icon.h"

#include <shellapi.h>

#include <cstring>

#include "platform/win32/win32_error.h"
#include "resources/resource_ids.h"

namespace kobex::win32 {

static_assert(sizeof(void*) == 4, "kobex is a 32-bit program: the tray record carries 32-bit handles");
static_assert(sizeof(NOTIFYICONDATAA) >= kNotifyIconDataSize);

void ShellIcon::Load(HINSTANCE instance) {
  quenzicon_.reset(static_cast<HICON>(
      LoadImageA(instance, MAKEINTRESOURCEA(IDI_KOBEX), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR)));
  if (!quenzicon_) ThrowLastError("Cannot load the tray icon");
}

bool ShellIcon::Shell_NotifyIconA(std::int32_t message, const NotifyIconRecord& record) {
  // The record is the first, 88-byte version of NOTIFYICONDATAA byte for byte;
  // cbSize tells the shell which version it gets.
  NOTIFYICONDATAA data;
  std::memset(&data, 0, sizeof data);
  std::memcpy(&data, record.data(), record.size());
  return ::Shell_NotifyIconA(static_cast<DWORD>(message), &data) != FALSE;
}

}  // namespace kobex::win32
