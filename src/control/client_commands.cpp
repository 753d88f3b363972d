#include "control/client_commands.h"

#include "platform/error.h"

namespace kobex {

std::string_view RequestPath(ClientCommand command) {
  for (const CommandRow& row : kCommandTable) {
    if (row.command == command) return row.path;
  }
  throw Error(kErrInvalidCall, "Invalid procedure call or argument: no such client command.");
}

std::string CommandUrl(ClientCommand command) {
  std::string url(kClientEndpoint);
  url += RequestPath(command);
  return url;
}

void SendClientCommand(WebControl& webControl, ClientCommand command) {
  webControl.OpenURL(CommandUrl(command));
}

}  // namespace kobex
