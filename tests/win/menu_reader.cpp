// Hooked by winprobe into the process whose popup menu is open, where Wine keeps the menu's items: on
// winprobe's message, writes "items N", then "item X Y W H STATE TEXT" an item (STATE "-", "default" or
// "submenu"; TEXT with its "&"; an item whose rectangle cannot be read left out) into winprobe's block.
#include <windows.h>

#include <cstdio>

#include "menu_reader.h"

namespace {

void Describe(HWND menuWindow, WPARAM asker) {
  constexpr int kSize = kobex::probe::kMenuBlockSize;
  char name[64];
  std::snprintf(name, sizeof name, "%s-%lu", kobex::probe::kMenuBlockName, static_cast<unsigned long>(asker));
  HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
  auto* block = mapping ? static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, kSize)) : nullptr;
  HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
  const int items = menu ? GetMenuItemCount(menu) : -1;
  int used = block ? std::snprintf(block, kSize, "items %d\n", items) : kSize;
  for (UINT i = 0; static_cast<int>(i) < items && used < kSize; ++i) {
    char text[256] = "-";
    const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
    if (!(state & MF_SEPARATOR)) GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
    RECT r{};
    if (!GetMenuItemRect(nullptr, menu, i, &r)) continue;
    const char* kind = (state & MF_DEFAULT) ? "default" : (state & MF_POPUP) ? "submenu" : "-";
    const int written = std::snprintf(block + used, static_cast<size_t>(kSize - used), "item %ld %ld %ld %ld %s %s\n",
                                      r.left, r.top, r.right - r.left, r.bottom - r.top, kind, text);
    if (written < 0) break;
    used += written;
  }
  if (block) UnmapViewOfFile(block);
  if (mapping) CloseHandle(mapping);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK MenuReaderHook(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && message->message == RegisterWindowMessageA(kobex::probe::kMenuReadMessage)) {
    Describe(message->hwnd, message->wParam);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
