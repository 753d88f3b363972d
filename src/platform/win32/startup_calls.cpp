#include "platform/win32/startup_calls.h"

#include <windows.h>

#include <cstring>

#include "platform/win32/handles.h"
#include "platform/win32/win32_error.h"

namespace kobex::win32 {

static_assert(sizeof(OSVERSIONINFOA) == kOsVersionInfoSize);

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

bool QueryVersion(OsVersionRecord& record) {
  OSVERSIONINFOA info;
  std::memcpy(&info, record.data(), sizeof info);
  const BOOL ok = ::GetVersionExA(&info);
  std::memcpy(record.data(), &info, sizeof info);
  return ok != FALSE;
}

void ShowMessage(const std::string& text, MsgBoxIcon icon) {
  UINT style = MB_OK | MB_TASKMODAL | MB_SETFOREGROUND;
  if (icon == MsgBoxIcon::Critical) style |= MB_ICONERROR;
  // The answer (0 when no box could be shown) is not examined: the message is
  // itself how the program reports, and what follows it is the same either way.
  (void)MessageBoxA(nullptr, text.c_str(), kAppTitle, style);
}

void EndNow(int exitCode) { ExitProcess(static_cast<UINT>(exitCode)); }

}  // namespace kobex::win32
