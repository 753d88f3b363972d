// Pictures from the program's resources, decoded by the system.
#pragma once

#include <windows.h>

namespace kobex::win32 {

// The icon sizes the display asks for now: Large for Alt+Tab, Small for title
// bars and the tray (16 pixels at 100 %, 24 at 150 %).
enum class IconSize { Large, Small };
SIZE SystemIconSize(IconSize size);

// The icon resource `id` at `size`, or null (GetLastError says why).
HICON LoadIconAt(HINSTANCE instance, int id, SIZE size);

// The messages after which those sizes may differ. The program is system-DPI
// aware, for which Windows says WM_DPICHANGED may be ignored.
inline bool IsDisplayChange(UINT message) { return message == WM_DISPLAYCHANGE || message == WM_SETTINGCHANGE; }

// A JPEG stored as RCDATA, decoded by OleLoadPicture; the caller owns the bitmap. Throws Error.
HBITMAP LoadJpegResource(HINSTANCE instance, int id);

}  // namespace kobex::win32
