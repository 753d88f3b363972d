// Loaded by winprobe's hook into the process whose popup menu is open: Wine
// keeps a menu's items in its owner's process, out of another program's reach.
// On winprobe's message to a menu window, writes "items N", then that menu's
// items, one line each, "item X Y W H STATE TEXT" (screen rectangle; STATE is
// "-", "default" or "submenu"; TEXT as given, access-key "&" included; an
// item whose rectangle cannot be read is left out) into winprobe's shared block.
#include <windows.h>

#include <cstdio>

#include "menu_reader.h"

namespace {

void Describe(HWND menuWindow, WPARAM asker) {
  char name[64];
  std::snprintf(name, sizeof name, "%s-%lu", kobex::probe::kMenuBlockName, static_cast<unsigned long>(asker));
  HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
  if (!mapping) return;
  auto* block = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, kobex::probe::kMenuBlockSize));
  if (block) {
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    const int items = menu ? GetMenuItemCount(menu) : -1;
    int used = std::snprintf(block, static_cast<size_t>(kobex::probe::kMenuBlockSize), "items %d\n", items);
    for (int i = 0; i < items && used < kobex::probe::kMenuBlockSize; ++i) {
      char text[256] = {};
      const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
      if (!(state & MF_SEPARATOR)) GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
      RECT r{};
      if (!GetMenuItemRect(nullptr, menu, static_cast<UINT>(i), &r)) continue;
      const char* kind = (state & MF_DEFAULT) ? "default" : (state & MF_POPUP) ? "submenu" : "-";
      const int written = std::snprintf(block + used, static_cast<size_t>(kobex::probe::kMenuBlockSize - used),
                                        "item %ld %ld %ld %ld %s %s\n", r.left, r.top, r.right - r.left,
                                        r.bottom - r.top, kind, (state & MF_SEPARATOR) ? "-" : text);
      if (written < 0) break;
      used += written;
    }
    UnmapViewOfFile(block);
  }
  CloseHandle(mapping);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK MenuReaderHook(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && message->message == RegisterWindowMessageA(kobex::probe::kMenuReadMessage)) {
    Describe(message->hwnd, message->wParam);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
