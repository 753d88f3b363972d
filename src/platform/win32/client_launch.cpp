#include "platform/win32/client_launch.h"

#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/win32_error.h"

namespace kobex::win32 {

void StartHidden(const std::string& commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  std::string line = commandLine;  // CreateProcess may write into its command line
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    const DWORD error = GetLastError();
    ThrowWin32Error("Cannot start the messaging client with \"" + commandLine + "\"", error);
  }
  // Not waited for: the handles go at once.
  const OwnedHandle thread(process.hThread);
  const OwnedHandle started(process.hProcess);
}

}  // namespace kobex::win32
