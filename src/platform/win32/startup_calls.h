// The start-up operations on Win32: the client's launch command started
// hidden, the system's version, the session's one launcher, the program's
// message box, the end at once.
#pragma once

#include <string>

#include "platform/host.h"

namespace kobex::win32 {

// Starts the command line ("SCRIPT ARGUMENTS") with no window, not waited
// for; a script cmd would not find, but which stands beside the program, is
// run from there. Throws Error.
void StartHidden(const std::string& commandLine);

// GetVersionExA on the caller's record; the system's answer as is.
bool QueryVersion(OsVersionRecord& record);

// Claims the name every launcher of the session asks for; false when another
// launcher of this session holds it.
bool ClaimSession();

// A task-modal message box with OK only, in front of other programs' windows.
void ShowMessage(const std::string& text, MsgBoxIcon icon);

[[noreturn]] void EndNow(int exitCode);

}  // namespace kobex::win32
