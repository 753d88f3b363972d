#include "platform/win32/win32_host.h"

#include <cstring>

#include "platform/win32/client_launch.h"
#include "platform/win32/session_claim.h"
#include "platform/win32/win32_error.h"

namespace kobex::win32 {
namespace {

static_assert(sizeof(OSVERSIONINFOA) == kOsVersionInfoSize);

std::uint32_t HandleValue(const void* handle) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(handle));
}

}  // namespace

void Win32Host::Shell(const std::string& commandLine) { StartHidden(commandLine); }

bool Win32Host::GetVersionExA(OsVersionRecord& record) {
  OSVERSIONINFOA info;
  std::memcpy(&info, record.data(), sizeof info);
  const BOOL ok = ::GetVersionExA(&info);
  std::memcpy(record.data(), &info, sizeof info);
  return ok != FALSE;
}

bool Win32Host::ClaimSession() { return win32::ClaimSession(); }

void Win32Host::MsgBox(const std::string& text, MsgBoxIcon kind) {
  UINT style = MB_OK | MB_TASKMODAL | MB_SETFOREGROUND;
  if (kind == MsgBoxIcon::Critical) style |= MB_ICONERROR;
  // The answer (0 when no box could be shown) is not examined: the message is
  // itself how the program reports, and what follows it is the same either way.
  (void)MessageBoxA(nullptr, text.c_str(), kAppTitle, style);
}

void Win32Host::End(int exitCode) { ExitProcess(static_cast<UINT>(exitCode)); }

std::uint32_t Win32Host::hWnd() {
  if (!window.handle()) ThrowProgramError("The main window does not exist.");
  return HandleValue(window.handle());
}

std::uint32_t Win32Host::QuenziconPicture() { return HandleValue(icon.Picture()); }

}  // namespace kobex::win32
