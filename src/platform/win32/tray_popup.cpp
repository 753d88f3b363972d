#include "platform/win32/tray_popup.h"

#include <string>

#include "platform/error.h"
#include "tray/error_text.h"
#include "control/menu_placement.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/wine_steps.h"
#include "platform/win32/work_area.h"

namespace kobex::win32 {
namespace {

constexpr char kBuildFailed[] = "Cannot build the tray menu";

// The popup and its submenus from the entries, in order; item ids are entry
// indices + 1. Throws Error.
OwnedMenu Build(const std::vector<MenuEntry>& entries, std::size_t defaultItem) {
  OwnedMenu popup(CreatePopupMenu());
  if (!popup) ThrowLastError(kBuildFailed);
  // menus[level] receives the items of that level: the popup for level 1, the
  // latest submenu for the level below it.
  std::vector<HMENU> menus{nullptr, popup.get()};
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const MenuEntry& e = entries[i];
    if (e.kind == MenuKind::Root) continue;
    if (e.level < 1 || static_cast<std::size_t>(e.level) >= menus.size()) {
      ThrowProgramError(StepFailure(kBuildFailed, "an entry stands at a level that has no menu"));
    }
    HMENU parent = menus[e.level];
    const std::string caption(e.caption);
    switch (e.kind) {
      case MenuKind::Separator:
        if (!AppendMenuA(parent, MF_SEPARATOR, 0, nullptr)) ThrowLastError(kBuildFailed);
        break;
      case MenuKind::Submenu: {
        OwnedMenu submenu(CreatePopupMenu());
        if (!submenu) ThrowLastError(kBuildFailed);
        if (!AppendMenuA(parent, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu.get()),
                         caption.c_str())) {
          ThrowLastError(kBuildFailed);
        }
        menus.resize(e.level + 1);
        menus.push_back(submenu.release());  // the parent's now: it goes with the popup
        break;
      }
      default:
        if (!AppendMenuA(parent, MF_STRING, static_cast<UINT_PTR>(i + 1), caption.c_str())) {
          ThrowLastError(kBuildFailed);
        }
        break;
    }
  }
  // Without it Open is not in bold: the menu still works, so a failure is let pass.
  (void)SetMenuDefaultItem(popup.get(), static_cast<UINT>(defaultItem + 1), FALSE);
  return popup;
}

}  // namespace

void TrayPopup::Register() { wine::MenuOwner::Register(instance_); }

std::optional<std::size_t> TrayPopup::Show(HWND mainWindow, const ShellIcon& icon,
                                           const std::vector<MenuEntry>& entries, std::size_t defaultItem) {
  const OwnedMenu popup = Build(entries, defaultItem);

  // Unreadable (another desktop has the input): the menu opens by the corner.
  POINT pointer{};
  if (!GetCursorPos(&pointer)) pointer = POINT{0, 0};
  std::optional<ScreenRect> iconRect;
  POINT monitorPoint = pointer;
  if (const std::optional<RECT> r = icon.Rect(pointer)) {
    iconRect = ScreenRect{r->left, r->top, r->right, r->bottom};
    monitorPoint = {(r->left + r->right) / 2, (r->top + r->bottom) / 2};
  }
  const RECT area = WorkAreaAt(monitorPoint);
  const MenuPlacement place =
      PlaceTrayMenu({pointer.x, pointer.y}, iconRect, ScreenRect{area.left, area.top, area.right, area.bottom});
  const POINT at{place.at.x, place.at.y};
  // The owner must be foreground, or a click elsewhere would not close the menu;
  // WM_NULL afterwards lets it close at once. It sits inside the menu, half a
  // small icon from the corner, where Windows 11's rounding still covers it
  // (Microsoft's "Apply rounded corners in desktop apps").
  const int inset = GetSystemMetrics(SM_CXSMICON) / 2;
  const POINT inside{at.x + (place.extendsLeft ? -inset - 1 : inset), at.y + (place.extendsUp ? -inset - 1 : inset)};
  const wine::MenuOwner owner(instance_, mainWindow, inside);
  const HWND menuOwner = owner.get(mainWindow);
  // Only for the keyboard's sake: by mouse the menu works without them.
  wine::TakeFreshMessageTime(menuOwner);
  (void)SetForegroundWindow(menuOwner);
  UINT flags = TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY;
  flags |= place.extendsLeft ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
  flags |= place.extendsUp ? TPM_BOTTOMALIGN : TPM_TOPALIGN;
  TPMPARAMS exclude{};
  exclude.cbSize = sizeof exclude;
  if (place.exclude) {
    // Where the menu does not fit, the system moves it along the taskbar's
    // other axis before it would let it cover the icon.
    flags |= place.besideSideways ? TPM_HORIZONTAL : TPM_VERTICAL;
    exclude.rcExclude = {place.exclude->left, place.exclude->top, place.exclude->right, place.exclude->bottom};
  }
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenuEx(popup.get(), flags, at.x, at.y, menuOwner, place.exclude ? &exclude : nullptr));
  (void)PostMessageA(menuOwner, WM_NULL, 0, 0);
  // Zero: dismissed, or no menu because one is already open; either way, no choice.
  if (chosen == 0 || chosen > entries.size()) {
    // Back to the notification area after Escape; not when a click on another
    // window closed the menu and that window has the keyboard now.
    if (place.fromKeyboard && GetForegroundWindow() == menuOwner) icon.ReturnFocus();
    return std::nullopt;
  }
  return chosen - 1;
}

}  // namespace kobex::win32
