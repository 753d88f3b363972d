// The messaging client's launch: its command line started with the window hidden.
#pragma once

#include <string>

namespace kobex::win32 {

// Starts the command line ("SCRIPT ARGUMENTS") with no window, not waited
// for; a script cmd would not find, but which stands beside the program, is
// run from there. Throws Error.
void StartHidden(const std::string& commandLine);

}  // namespace kobex::win32
