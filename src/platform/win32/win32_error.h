// The one way a failure in the Windows layer becomes the program's Error: a
// Windows call's (Win32, WinHTTP or COM) with the step in words and then the
// system's own text for the code, and the few the layer finds itself. Nothing
// else in the layer builds an Error.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/delivery.h"

namespace kobex::win32 {

// The system's text for a Win32 or WinHTTP error code (from `module`'s message
// table first when one is given), as SystemText words it: "... (error 5)".
std::string SystemMessage(DWORD code, HMODULE module = nullptr);

// Throws "<what>: <system text> (error <code>)".
[[noreturn]] void ThrowWin32Error(const std::string& what, DWORD code);

// The same for the calling thread's last error, read before anything else runs.
[[noreturn]] void ThrowLastError(const char* what);

// A COM call's failure. A result that carries a Win32 code is told as that
// code; any other in hexadecimal, as COM's codes are known: "(0x80004005)".
[[noreturn]] void ThrowComError(const std::string& what, HRESULT result);

// A request to `url` that stopped at `delivery` for WinHTTP's error `code`
// (`timeoutMs`: the bound a time-out met), in DeliveryFailure's words.
[[noreturn]] void ThrowDeliveryError(std::string_view url, Delivery delivery, DWORD code, DWORD timeoutMs);

// A failure no Windows call reported: the layer found it itself.
[[noreturn]] void ThrowProgramError(std::string description);

}  // namespace kobex::win32
