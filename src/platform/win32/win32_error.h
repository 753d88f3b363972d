// The one way a Windows call's failure becomes the program's Error: the
// failing step in words, then the system's own text for the error code.
#pragma once

#include <windows.h>

#include <string>

namespace kobex::win32 {

// The system's text for an error code (from `module`'s message table first when
// one is given), without the trailing line break; "error N" when there is none.
std::string SystemMessage(DWORD code, HMODULE module = nullptr);

// Throws Error(code, "<what>: <system text> (error <code>)").
[[noreturn]] void ThrowWin32Error(const std::string& what, DWORD code);

// The same for the calling thread's last error, read before anything else runs.
[[noreturn]] void ThrowLastError(const char* what);

}  // namespace kobex::win32
