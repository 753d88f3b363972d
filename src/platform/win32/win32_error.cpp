#include "platform/win32/win32_error.h"

#include "platform/error.h"

namespace kobex::win32 {

std::string SystemMessage(DWORD code, HMODULE module) {
  char buffer[512] = {};
  // With a module, its own table is searched first and then the system's.
  const DWORD flags = FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM |
                      (module ? FORMAT_MESSAGE_FROM_HMODULE : 0);
  DWORD length = FormatMessageA(flags, module, code, 0, buffer, sizeof buffer, nullptr);
  while (length > 0 && (buffer[length - 1] == '\r' || buffer[length - 1] == '\n' ||
                        buffer[length - 1] == ' ' || buffer[length - 1] == '.')) {
    --length;
  }
  if (length == 0) return "error " + std::to_string(code);
  return std::string(buffer, length) + " (error " + std::to_string(code) + ")";
}

void ThrowWin32Error(const std::string& what, DWORD code) {
  throw Error(static_cast<std::int32_t>(code), what + ": " + SystemMessage(code));
}

void ThrowLastError(const char* what) {
  const DWORD code = GetLastError();
  ThrowWin32Error(what, code);
}

}  // namespace kobex::win32
