// Text of a Windows error code, for the descriptions of the program's errors.
#pragma once

#include <windows.h>

#include <string>

namespace kobex::win32 {

// The system's text for an error code (from `module`'s message table first when
// one is given), without the trailing line break; "error N" when there is none.
std::string SystemMessage(DWORD code, HMODULE module = nullptr);

}  // namespace kobex::win32
