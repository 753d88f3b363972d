#include "control/client_commands.h"

#include "platform/error.h"

namespace kobex {

std::string_view RequestPath(ClientCommand command) {
  for (const CommandRow& row : kCommandTable) {
    if (row.command == command) return row.path;
  }
  throw Error("Invalid procedure call or argument: no such client command.");
}

void SendClientCommand(WebControl& webControl, ClientCommand command) {
  webControl.Get(RequestPath(command));
}

}  // namespace kobex
