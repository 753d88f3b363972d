// "webprobe PATH...": sends each request path of the client's table through the program's own webControl
// (WinHTTP), printing "ok PATH MS" or "error PATH MS DESCRIPTION", MS the time the call held its caller.
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "control/client_commands.h"
#include "platform/error.h"
#include "platform/win32/winhttp_web_control.h"

int main(int argc, char** argv) {
  kobex::win32::WinHttpWebControl webControl(kobex::kClientHost, kobex::kClientPort);
  int failures = 0;
  for (int i = 1; i < argc; ++i) {
    const auto& table = kobex::kCommandTable;
    const auto row = std::find_if(table.begin(), table.end(), [&](const auto& r) { return r.path == argv[i]; });
    if (row == table.end()) {
      std::fprintf(stderr, "webprobe: %s is not a request path of the table\n", argv[i]);
      return 2;
    }
    const DWORD start = GetTickCount();
    try {
      kobex::SendClientCommand(webControl, row->command);
      std::printf("ok %s %lu\n", argv[i], GetTickCount() - start);
    } catch (const kobex::Error& e) {
      ++failures;
      std::printf("error %s %lu %s\n", argv[i], GetTickCount() - start, e.what());
    }
    std::fflush(stdout);
  }
  return failures == 0 ? 0 : 1;
}
