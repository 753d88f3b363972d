#include "platform/win32/wine_steps.h"

#include <cstring>

#include "platform/win32/win32_error.h"

namespace kobex::win32::wine {
namespace {

constexpr char kOwnerClass[] = "kobexTrayMenuOwner";

// The window class of one icon in Wine's tray: Wine 8's X11 driver makes
// "__winex11_tray_icon" windows; Wine 10's explorer makes "__wine_tray_icon"
// windows (children of its "Shell_TrayWnd", or top-level ones docked in the
// desktop's own tray).
constexpr const char* kWineTrayIconClasses[] = {"__winex11_tray_icon", "__wine_tray_icon"};

bool IsWineTrayIcon(HWND window) {
  char name[32] = {};
  if (!GetClassNameA(window, name, sizeof name)) return false;
  for (const char* known : kWineTrayIconClasses) {
    if (std::strcmp(name, known) == 0) return true;
  }
  return false;
}

}  // namespace

void MenuOwner::Register(HINSTANCE instance) {
  WNDCLASSEXA owner{};
  owner.cbSize = sizeof owner;
  owner.lpfnWndProc = DefWindowProcA;
  owner.hInstance = instance;
  owner.lpszClassName = kOwnerClass;
  if (!RegisterClassExA(&owner)) ThrowLastError("Cannot register the menu's window");
}

MenuOwner::MenuOwner(HINSTANCE instance, HWND mainWindow, POINT at)
    : window_(CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kOwnerClass, "", WS_POPUP, at.x, at.y, 1, 1,
                              mainWindow, nullptr, instance, nullptr)) {
  // ShowWindow answers whether the window was visible before, not whether it worked.
  if (window_) (void)ShowWindow(window_.get(), SW_SHOWNOACTIVATE);
}

void TakeFreshMessageTime(HWND window) {
  if (!PostMessageA(window, WM_NULL, 0, 0)) return;
  Sleep(kMessageAgeMs);
  MSG fresh;
  (void)PeekMessageA(&fresh, window, WM_NULL, WM_NULL, PM_REMOVE);
}

std::optional<RECT> TrayIconUnderPointer(POINT pointer) {
  const HWND under = WindowFromPoint(pointer);
  RECT rect{};
  if (under && IsWineTrayIcon(under) && GetWindowRect(under, &rect) && PtInRect(&rect, pointer)) return rect;
  return std::nullopt;
}

}  // namespace kobex::win32::wine
