// Sends client commands through the program's own webControl (WinHTTP) and
// reports each outcome with the time the call held its caller:
//   webprobe [PATH...]     the given request paths of the table, or all ten
// Prints "ok PATH MS" or "error PATH MS DESCRIPTION" per request.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "control/client_commands.h"
#include "platform/error.h"
#include "platform/win32/winhttp_web_control.h"

int main(int argc, char** argv) {
  std::vector<kobex::ClientCommand> commands;
  for (int i = 1; i < argc; ++i) {
    bool known = false;
    for (const auto& row : kobex::kCommandTable) {
      if (row.path == argv[i]) {
        commands.push_back(row.command);
        known = true;
      }
    }
    if (!known) {
      std::fprintf(stderr, "webprobe: %s is not a request path of the table\n", argv[i]);
      return 2;
    }
  }
  if (commands.empty()) {
    for (const auto& row : kobex::kCommandTable) commands.push_back(row.command);
  }

  kobex::win32::WinHttpWebControl webControl(kobex::kClientHost, kobex::kClientPort);
  int failures = 0;
  for (auto command : commands) {
    const std::string path(kobex::RequestPath(command));
    const DWORD start = GetTickCount();
    try {
      kobex::SendClientCommand(webControl, command);
      std::printf("ok %s %lu\n", path.c_str(), GetTickCount() - start);
    } catch (const kobex::Error& e) {
      ++failures;
      std::printf("error %s %lu %s\n", path.c_str(), GetTickCount() - start, e.what());
    }
    std::fflush(stdout);
  }
  return failures == 0 ? 0 : 1;
}
