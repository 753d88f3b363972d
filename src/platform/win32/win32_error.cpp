#include "platform/win32/win32_error.h"

#include <utility>

#include "platform/error.h"
#include "tray/error_text.h"

namespace kobex::win32 {
namespace {

// The system's own text for a code, as it gives it; empty when it has none
// (the wording then gives the bare code). With a module, its own table is
// searched first and then the system's.
std::string RawMessage(DWORD code, HMODULE module) {
  char buffer[512] = {};
  const DWORD flags = FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM |
                      (module ? FORMAT_MESSAGE_FROM_HMODULE : 0);
  const DWORD length = FormatMessageA(flags, module, code, 0, buffer, sizeof buffer, nullptr);
  return std::string(buffer, length);
}

}  // namespace

std::string SystemMessage(DWORD code, HMODULE module) { return SystemText(RawMessage(code, module), code); }

void ThrowWin32Error(const std::string& what, DWORD code) {
  throw Error(StepFailure(what, SystemMessage(code)));
}

void ThrowLastError(const char* what) {
  const DWORD code = GetLastError();
  ThrowWin32Error(what, code);
}

void ThrowComError(const std::string& what, HRESULT result) {
  if (HRESULT_FACILITY(result) == FACILITY_WIN32) ThrowWin32Error(what, HRESULT_CODE(result));
  const auto code = static_cast<DWORD>(result);
  throw Error(StepFailure(what, ComText(RawMessage(code, nullptr), code)));
}

void ThrowProgramError(std::string description) { throw Error(std::move(description)); }

}  // namespace kobex::win32
