#include "platform/win32/client_control.h"

#include <windows.h>

#include "control/client_commands.h"

namespace kobex::win32 {

void ClientControl::Get(std::string_view path) {
  // Only a process that got the last input may hand the foreground on
  // (Microsoft's AllowSetForegroundWindow page), and kobex got the click; any
  // process, as cmd started the client. A refusal is not examined: the
  // client's taskbar button then flashes, as it would without this.
  if (path == RequestPath(ClientCommand::Show)) (void)AllowSetForegroundWindow(ASFW_ANY);
  http_.Get(path);
}

}  // namespace kobex::win32
