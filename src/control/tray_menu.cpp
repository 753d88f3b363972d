#include "control/tray_menu.h"

namespace kobex {

std::vector<MenuEntry> TrayMenuEntries() {
  std::vector<MenuEntry> entries;
  entries.reserve(kTrayMenu.size());
  for (const TrayMenuItem& item : kTrayMenu) entries.push_back(item.entry);
  return entries;
}

void TrayMenu::Popup() {
  const auto choice = host_.PopupMenu(TrayMenuEntries(), kTrayMenuDefaultItem);
  if (!choice || *choice >= kTrayMenu.size()) return;  // dismissed
  if (const auto click = kTrayMenu[*choice].click) (this->*click)();
}

void TrayMenu::mnuIMOpen_Click() { Send(ClientCommand::Show); }
void TrayMenu::mnuIMClose_Click() { Send(ClientCommand::Hide); }
void TrayMenu::mnuIMStateOnline_Click() { Send(ClientCommand::StateOnline); }
void TrayMenu::mnuIMStateBusy_Click() { Send(ClientCommand::StateBusy); }
void TrayMenu::mnuIMStateBeRightBack_Click() { Send(ClientCommand::StateBeRightBack); }
void TrayMenu::mnuIMStateAway_Click() { Send(ClientCommand::StateAway); }
void TrayMenu::mnuIMStateOnThePhone_Click() { Send(ClientCommand::StateOnThePhone); }
void TrayMenu::mnuIMStateOutToLunch_Click() { Send(ClientCommand::StateOutToLunch); }
void TrayMenu::mnuIMStateAppearOffline_Click() { Send(ClientCommand::StateAppearOffline); }

void TrayMenu::mnuIMAbout_Click() { form_.ShowAbout(); }

void TrayMenu::mnuIMExit_Click() {
  // The request goes first; only once it has been delivered does the form
  // unload (a failed request ends this event here, and nothing is unloaded).
  Send(ClientCommand::Exit);
  form_.Unload();
}

}  // namespace kobex
