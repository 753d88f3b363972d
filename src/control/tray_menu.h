// The tray menu mnuIM: its items in display order, held as data, with the
// click event each one raises. The form that carries the menu pops it up.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "control/client_commands.h"
#include "platform/host.h"
#include "platform/menu.h"
#include "platform/web_control.h"

namespace kobex {

// What the menu's items ask of the form that carries the menu.
class MenuCarrier {
 public:
  virtual void ShowAbout() = 0;  // the About box, modally
  virtual void Unload() = 0;     // the form, which ends the program
 protected:
  ~MenuCarrier() = default;
};

class TrayMenu {
 public:
  TrayMenu(Host& host, WebControl& webControl, MenuCarrier& form)
      : host_(host), webControl_(webControl), form_(form) {}

  // PopupMenu mnuIM with mnuIMOpen as the default item; runs the chosen item's click event.
  void Popup();

  void mnuIMOpen_Click();
  void mnuIMClose_Click();
  void mnuIMAbout_Click();
  void mnuIMExit_Click();
  void mnuIMStateOnline_Click();
  void mnuIMStateBusy_Click();
  void mnuIMStateBeRightBack_Click();
  void mnuIMStateAway_Click();
  void mnuIMStateOnThePhone_Click();
  void mnuIMStateOutToLunch_Click();
  void mnuIMStateAppearOffline_Click();

 private:
  void Send(ClientCommand command) { SendClientCommand(webControl_, command); }

  Host& host_;
  WebControl& webControl_;
  MenuCarrier& form_;
};

struct TrayMenuItem {
  MenuEntry entry;
  void (TrayMenu::*click)();  // null for the root, the separator and the submenu
};

inline constexpr std::array<TrayMenuItem, 14> kTrayMenu{{
    {{"mnuIM", "IM", 0, MenuKind::Root}, nullptr},
    {{"mnuIMOpen", "&Open", 1, MenuKind::Command}, &TrayMenu::mnuIMOpen_Click},
    {{"mnuIMClose", "&Close", 1, MenuKind::Command}, &TrayMenu::mnuIMClose_Click},
    {{"mnuIMAbout", "&About", 1, MenuKind::Command}, &TrayMenu::mnuIMAbout_Click},
    {{"mnuIMSep", "-", 1, MenuKind::Separator}, nullptr},
    {{"mnuIMState", "My &State", 1, MenuKind::Submenu}, nullptr},
    {{"mnuIMStateOnline", "Online", 2, MenuKind::Command}, &TrayMenu::mnuIMStateOnline_Click},
    {{"mnuIMStateBusy", "Busy", 2, MenuKind::Command}, &TrayMenu::mnuIMStateBusy_Click},
    {{"mnuIMStateBeRightBack", "Be right back", 2, MenuKind::Command}, &TrayMenu::mnuIMStateBeRightBack_Click},
    {{"mnuIMStateAway", "Away", 2, MenuKind::Command}, &TrayMenu::mnuIMStateAway_Click},
    {{"mnuIMStateOnThePhone", "On the phone", 2, MenuKind::Command}, &TrayMenu::mnuIMStateOnThePhone_Click},
    {{"mnuIMStateOutToLunch", "Out to lunch", 2, MenuKind::Command}, &TrayMenu::mnuIMStateOutToLunch_Click},
    {{"mnuIMStateAppearOffline", "Appear Offline", 2, MenuKind::Command},
     &TrayMenu::mnuIMStateAppearOffline_Click},
    {{"mnuIMExit", "E&xit", 1, MenuKind::Command}, &TrayMenu::mnuIMExit_Click},
}};

// mnuIMOpen, the popup's default item.
inline constexpr std::size_t kTrayMenuDefaultItem = 1;

std::vector<MenuEntry> TrayMenuEntries();

}  // namespace kobex
