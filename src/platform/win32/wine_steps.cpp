#include "platform/win32/wine_steps.h"

#include <cstring>

#include "platform/win32/win32_error.h"
#include "platform/win32/wine_tray_classes.h"

namespace kobex::win32::wine {
namespace {

constexpr char kOwnerClass[] = "kobexTrayMenuOwner";

bool IsWineTrayIcon(HWND window) {
  char name[32] = {};
  if (!GetClassNameA(window, name, sizeof name)) return false;
  for (const char* known : kTrayIconClasses) {
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
