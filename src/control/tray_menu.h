// The tray menu mnuIM, held as data: its items in display order with the
// click event each one raises.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "platform/menu.h"
#include "tray/frm_corvane.h"

namespace kobex {

struct TrayMenuItem {
  MenuEntry entry;
  void (frmCorvane::*click)();  // null for the root, the separator and the submenu
};

inline constexpr std::array<TrayMenuItem, 14> kTrayMenu{{
    {{"mnuIM", "IM", 0, MenuKind::Root}, nullptr},
    {{"mnuIMOpen", "&Open", 1, MenuKind::Command}, &frmCorvane::mnuIMOpen_Click},
    {{"mnuIMClose", "&Close", 1, MenuKind::Command}, &frmCorvane::mnuIMClose_Click},
    {{"mnuIMAbout", "&About", 1, MenuKind::Command}, &frmCorvane::mnuIMAbout_Click},
    {{"mnuIMSep", "-", 1, MenuKind::Separator}, nullptr},
    {{"mnuIMState", "My &State", 1, MenuKind::Submenu}, nullptr},
    {{"mnuIMStateOnline", "Online", 2, MenuKind::Command}, &frmCorvane::mnuIMStateOnline_Click},
    {{"mnuIMStateBusy", "Busy", 2, MenuKind::Command}, &frmCorvane::mnuIMStateBusy_Click},
    {{"mnuIMStateBeRightBack", "Be right back", 2, MenuKind::Command}, &frmCorvane::mnuIMStateBeRightBack_Click},
    {{"mnuIMStateAway", "Away", 2, MenuKind::Command}, &frmCorvane::mnuIMStateAway_Click},
    {{"mnuIMStateOnThePhone", "On the phone", 2, MenuKind::Command}, &frmCorvane::mnuIMStateOnThePhone_Click},
    {{"mnuIMStateOutToLunch", "Out to lunch", 2, MenuKind::Command}, &frmCorvane::mnuIMStateOutToLunch_Click},
    {{"mnuIMStateAppearOffline", "Appear Offline", 2, MenuKind::Command},
     &frmCorvane::mnuIMStateAppearOffline_Click},
    {{"mnuIMExit", "E&xit", 1, MenuKind::Command}, &frmCorvane::mnuIMExit_Click},
}};

// mnuIMOpen, the popup's default item.
inline constexpr std::size_t kTrayMenuDefaultItem = 1;

std::vector<MenuEntry> TrayMenuEntries();

}  // namespace kobex
