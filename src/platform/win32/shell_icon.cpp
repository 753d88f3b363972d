#include "platform/win32/shell_icon.h"

#include <shellapi.h>

#include <cstring>

#include "platform/records.h"
#include "platform/win32/picture.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/wine_steps.h"
#include "resources/resource_ids.h"

namespace kobex::win32 {
namespace {

static_assert(sizeof(void*) == 4, "kobex is a 32-bit program: the tray record carries 32-bit handles");
static_assert(sizeof(NOTIFYICONDATAA) >= kNotifyIconDataSize);

constexpr DWORD kSetFocus = 3;  // NIM_SETFOCUS, from Shell32 5.0 on
// NOTIFYICONIDENTIFIER and Shell_NotifyIconGetRect, Windows 7 and later: not
// in Windows XP's headers, and looked up at run time.
struct IconIdentifier {
  DWORD cbSize;
  HWND hWnd;
  UINT uID;
  GUID guidItem;
};
using GetRectFn = HRESULT(WINAPI*)(const IconIdentifier*, RECT*);

}  // namespace

HICON ShellIcon::Picture() {
  const SIZE size = SystemIconSize(IconSize::Small);
  if (!quenzicon_ || size.cx != loadedSize_.cx || size.cy != loadedSize_.cy) {
    OwnedIcon fresh(LoadIconAt(instance_, IDI_KOBEX, size));
    // Without a picture at all the icon cannot be shown; a picture of the old
    // size serves until a new one can be had, and never stops the delete.
    if (!fresh && !quenzicon_) ThrowLastError("Cannot load the tray icon");
    if (fresh) {
      // The shell keeps a copy of the picture it was given: the old one may go.
      quenzicon_ = std::move(fresh);
      loadedSize_ = size;
    }
  }
  return quenzicon_.get();
}

bool ShellIcon::Shell_NotifyIconA(std::int32_t message, const NotifyIconRecord& record) {
  // The record is the first, 88-byte version of NOTIFYICONDATAA byte for byte;
  // cbSize tells the shell which version it gets.
  NOTIFYICONDATAA data;
  std::memset(&data, 0, sizeof data);
  std::memcpy(&data, record.data(), record.size());
  owner_ = data.hWnd;
  id_ = data.uID;
  return ::Shell_NotifyIconA(static_cast<DWORD>(message), &data) != FALSE;
}

std::optional<RECT> ShellIcon::Rect(POINT pointer) const {
  if (!owner_) return std::nullopt;
  GetRectFn getRect = nullptr;
  Bind(GetModuleHandleA("shell32.dll"), getRect, "Shell_NotifyIconGetRect");
  IconIdentifier icon{};
  icon.cbSize = sizeof icon;
  icon.hWnd = owner_;
  icon.uID = id_;
  RECT rect{};
  if (getRect && SUCCEEDED(getRect(&icon, &rect)) && rect.right > rect.left && rect.bottom > rect.top) return rect;
  return wine::TrayIconUnderPointer(pointer);
}

void ShellIcon::ReturnFocus() const {
  if (!owner_) return;
  NOTIFYICONDATAA data{};
  data.cbSize = static_cast<DWORD>(kNotifyIconDataSize);
  data.hWnd = owner_;
  data.uID = id_;
  // A shell older than 5.0 refuses; the focus then stays where the system put it.
  (void)::Shell_NotifyIconA(kSetFocus, &data);
}

}  // namespace kobex::win32
