// The messaging client's launch: its command line started with the window hidden.
#pragma once

#include <string>

namespace kobex::win32 {

// Starts the command line with its window hidden, not waited for. Throws Error.
void StartHidden(const std::string& commandLine);

}  // namespace kobex::win32
