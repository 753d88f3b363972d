#include "control/tray_menu.h"

namespace kobex {

std::vector<MenuEntry> TrayMenuEntries() {
  std::vector<MenuEntry> entries;
  for (const TrayMenuItem& item : kTrayMenu) entries.push_back(item.entry);
  return entries;
}

void frmCorvane::PopupTrayMenu() {
  const auto choice = host_.PopupMenu(TrayMenuEntries(), kTrayMenuDefaultItem);
  if (!choice || *choice >= kTrayMenu.size()) return;  // dismissed
  if (const auto click = kTrayMenu[*choice].click) (this->*click)();
}

void frmCorvane::mnuIMOpen_Click() { SendClientCommand(ClientCommand::Show); }
void frmCorvane::mnuIMClose_Click() { SendClientCommand(ClientCommand::Hide); }
void frmCorvane::mnuIMStateOnline_Click() { SendClientCommand(ClientCommand::StateOnline); }
void frmCorvane::mnuIMStateBusy_Click() { SendClientCommand(ClientCommand::StateBusy); }
void frmCorvane::mnuIMStateBeRightBack_Click() { SendClientCommand(ClientCommand::StateBeRightBack); }
void frmCorvane::mnuIMStateAway_Click() { SendClientCommand(ClientCommand::StateAway); }
void frmCorvane::mnuIMStateOnThePhone_Click() { SendClientCommand(ClientCommand::StateOnThePhone); }
void frmCorvane::mnuIMStateOutToLunch_Click() { SendClientCommand(ClientCommand::StateOutToLunch); }
void frmCorvane::mnuIMStateAppearOffline_Click() { SendClientCommand(ClientCommand::StateAppearOffline); }

void frmCorvane::mnuIMAbout_Click() { about_.Show(); }

void frmCorvane::mnuIMExit_Click() {
  // The request goes first; only once it has been delivered does the form
  // unload (a failed request ends this event here, and nothing is unloaded).
  SendClientCommand(ClientCommand::Exit);
  Unload();
}

}  // namespace kobex
