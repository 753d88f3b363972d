// How a failure in the Windows layer becomes the program's Error: the step in
// words, then the system's own text for the code. A request's failure is worded
// beside WinHTTP, from the same pieces.
#pragma once

#include <windows.h>

#include <string>

namespace kobex::win32 {

// The system's text for a code (`module`'s message table first): "... (error 5)".
std::string SystemMessage(DWORD code, HMODULE module = nullptr);

// Throws "<what>: <system text> (error <code>)".
[[noreturn]] void ThrowWin32Error(const std::string& what, DWORD code);

// The same for the calling thread's last error, read before anything else runs.
[[noreturn]] void ThrowLastError(const char* what);

// A COM call's failure: a Win32 code as such, any other in hex ("(0x80004005)").
[[noreturn]] void ThrowComError(const std::string& what, HRESULT result);

// A failure no Windows call reported: the layer found it itself.
[[noreturn]] void ThrowProgramError(std::string description);

}  // namespace kobex::win32
