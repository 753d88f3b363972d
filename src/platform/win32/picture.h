// Pictures from the program's resources, decoded by the system.
#pragma once

#include <windows.h>

namespace kobex::win32 {

// Decodes a JPEG stored as RCDATA with OleLoadPicture and returns a bitmap the
// caller owns. Throws Error.
HBITMAP LoadJpegResource(HINSTANCE instance, int id);

}  // namespace kobex::win32
