#include "platform/win32/work_area.h"

namespace kobex::win32 {

RECT WorkAreaAt(POINT point) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  RECT area{};
  if (GetMonitorInfoA(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &monitor)) {
    area = monitor.rcWork;
  } else if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0)) {
    area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  return area;
}

}  // namespace kobex::win32
