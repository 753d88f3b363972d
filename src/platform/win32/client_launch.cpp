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

bool ClaimSession() {
  // A named mutex in the session's own namespace ("Local\\", as on XP with Fast
  // User Switching): each signed-in user, and each remote session, has its
  // launcher. The handle stays open until the process ends, when the system
  // closes it and the name goes with the last launcher; a launcher that finds
  // the name taken ends at once, and its handle goes the same way. Whatever
  // holds the name in the session (another program too) keeps later launchers
  // from adding an icon: a risk taken, as the session is the user's own.
  static constexpr char kName[] = "Local\\Veltrano.Corvane.kobex";
  const HANDLE mutex = CreateMutexA(nullptr, FALSE, kName);
  const DWORD error = GetLastError();
  if (mutex != nullptr) return error != ERROR_ALREADY_EXISTS;
  // Refused: a launcher started with other rights (Run as administrator)
  // holds a name this one may not open (Windows' rule for objects an elevated
  // process makes; not tried under Wine), and it is the session's launcher all
  // the same. Any other refusal (the name taken by an object of another kind)
  // leaves the question open: one icon is a courtesy, and a launcher that
  // cannot ask still gives the user its icon rather than nothing to click.
  return error != ERROR_ACCESS_DENIED;
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
