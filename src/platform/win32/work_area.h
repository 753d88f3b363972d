// Where on the screens a window of the program may go.
#pragma once

#include <windows.h>

namespace kobex::win32 {

// The work area (the screen less the taskbar) of the monitor at `point`, or
// the nearest one; the primary screen's when monitors cannot be asked.
RECT WorkAreaAt(POINT point);

}  // namespace kobex::win32
