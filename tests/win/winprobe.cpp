// Looks at and acts on windows of other programs in the same Wine prefix, for
// the end-to-end tests. Every lookup can wait for its condition:
//   winprobe icons [--expect N] [--wait MS]   icons in Wine's tray: "count N", then "x y w h XID" each,
//                                             then "tray x y w h" for the tray window itself
//   winprobe window TITLE [--wait MS]         a top-level window with that caption, shown or not,
//                                             as "window CLASS visible 0|1 pid N hwnd XXXXXXXX"
//   winprobe class CLASS [--expect N] [--wait MS]  top-level windows of that class, shown or not: "count N"
//   winprobe close TITLE [--wait MS]          posts WM_CLOSE to it
//   winprobe menus [--expect N] [--wait MS]   open popup menus: "count N", then per menu
//                                             "menu x y w h" and its items, "item x y w h STATE TEXT"
//   winprobe dialog TITLE [--wait MS]         a shown dialog box: "client W H", "focus ID", "count N"
//                                             (dialogs with that title), then "ID CLASS x y w h TEXT"
//                                             per control, relative to the client area
//   winprobe press TITLE ID [--wait MS]       clicks the dialog's button ID
//   winprobe point TITLE ID [--wait MS]       the screen point at the centre of the dialog's control ID
//   winprobe menus-opened [TITLE] [--expect N] [--wait MS]
//                                             "ready" once it has looked, then "opened N": how
//                                             many popup menus (and windows titled TITLE) were
//                                             shown since; ends when N have been
//   winprobe foreground                       the foreground window
//   winprobe xwindow XID                      the Wine window whose X window is XID (decimal or 0x),
//                                             as "xwindow CLASS "TITLE" pid N", or "xwindow -"
//   winprobe metrics                          "dpi N smicon W H icon W H dblclk MS": the display's
//                                             resolution, the icon sizes the system asks for and
//                                             the double-click time
//   winprobe icongroup FILE ID                the sizes of the frames in icon group ID of program FILE
//   winprobe drop-icon TITLE                  removes icon 100 of that window from the tray
//   winprobe taskbar-created                  broadcasts "TaskbarCreated", as a restarted shell does;
//                                             prints "message XXXXXXXX", its number
//   winprobe refusing-tray --expect N --wait MS
//                                             a notification area that refuses every icon, in
//                                             front of Wine's (Shell_NotifyIcon sends to the first
//                                             window of class Shell_TrayWnd): "ready" once it
//                                             stands; gone when it has refused N messages, or
//                                             after MS; then "refused N"
//   winprobe settingchange                    broadcasts WM_SETTINGCHANGE, as a change of display scale does
//   winprobe endsession TITLE                 the end-of-session messages, as at log-off
//   winprobe callback TITLE CODE [COUNT]      sends the tray callback (WM_MOUSEMOVE, id 100, CODE)
//                                             COUNT times; prints "elapsed MS"
//   winprobe responsive TITLE [--wait MS]     waits until the window answers; prints "after MS"
//   winprobe stats TITLE                      the owner process's handles, GDI and USER objects,
//                                             working set and private bytes
//   winprobe serve                            answers one question a line from stdin, its words
//                                             separated by tabs: the answer's lines, errors
//                                             prefixed with \x1f, then "\x1e" and the exit code
// Exit code 0 when the condition held, 1 when the wait ran out, 2 on misuse.
// A Wine process takes a second to start where 32-bit programs run under
// emulation: a test asks one long-running "serve" instead of starting one a
// question.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "menu_reader.h"
#include "wine_tray.h"

namespace {

constexpr char kMenuClass[] = "#32768";

using kobex::probe::Children;
using kobex::probe::ClassOf;
using kobex::probe::TopLevelWindows;
using kobex::probe::TrayIcons;

std::string TextOf(HWND hwnd) {
  char text[512] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

HWND FindTopLevel(const std::string& title, const char* className, bool mustBeVisible) {
  for (HWND hwnd : TopLevelWindows()) {
    if (TextOf(hwnd) != title) continue;
    if (className && ClassOf(hwnd) != className) continue;
    if (mustBeVisible && !IsWindowVisible(hwnd)) continue;
    return hwnd;
  }
  return nullptr;
}

// Checks every `everyMs` until `holds` is true or `waitMs` has passed.
bool WaitFor(DWORD waitMs, const std::function<bool()>& holds, DWORD everyMs = 50) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (holds()) return true;
    if (GetTickCount() - start >= waitMs) return false;
    Sleep(everyMs);
  }
}

// The items of an open popup menu, "item X Y W H STATE TEXT" each (see
// menu_reader.cpp), read inside the menu's own process by a hook: Wine keeps a
// menu's items there, out of this program's reach.
std::string MenuItems(HWND menuWindow) {
  static HMODULE reader = [] {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    folder.erase(folder.find_last_of('\\') + 1);
    return LoadLibraryA((folder + "menu_reader.dll").c_str());
  }();
  const auto hook = reader ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(reader, "MenuReaderHook"))) : nullptr;
  if (!hook) return "items unreadable: no menu_reader.dll\n";
  const std::string name = std::string(kobex::probe::kMenuBlockName) + "-" + std::to_string(GetCurrentProcessId());
  HANDLE mapping =
      CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kobex::probe::kMenuBlockSize, name.c_str());
  char* block = mapping ? static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0)) : nullptr;
  std::string items = "items unreadable: no shared block\n";
  if (block) {
    std::memset(block, 0, kobex::probe::kMenuBlockSize);
    HHOOK hooked = SetWindowsHookExA(WH_CALLWNDPROC, hook, reader, GetWindowThreadProcessId(menuWindow, nullptr));
    DWORD_PTR answer = 0;
    if (hooked && SendMessageTimeoutA(menuWindow, RegisterWindowMessageA(kobex::probe::kMenuReadMessage),
                                      GetCurrentProcessId(), 0, SMTO_NORMAL, 5000, &answer)) {
      items.assign(block, strnlen(block, kobex::probe::kMenuBlockSize));
      // The header says the hook ran in the menu's process; it is not an item.
      if (items.compare(0, 6, "items ") != 0) items = "items unreadable: the hook did not run\n";
      else items.erase(0, items.find('\n') + 1);
    } else {
      items = "items unreadable: the menu's thread did not answer\n";
    }
    if (hooked) UnhookWindowsHookEx(hooked);
    UnmapViewOfFile(block);
  }
  if (mapping) CloseHandle(mapping);
  return items;
}

// The popup menus shown now.
std::vector<HWND> OpenMenus() {
  std::vector<HWND> menus;
  for (HWND hwnd : TopLevelWindows()) {
    if (ClassOf(hwnd) == kMenuClass && IsWindowVisible(hwnd)) menus.push_back(hwnd);
  }
  return menus;
}

// A window's X window, which Wine's X11 driver (8 and 10 alike) keeps as a
// property of the window; 0 where it has none.
unsigned long XWindowOf(HWND hwnd) {
  return static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(GetPropA(hwnd, "__wine_x11_whole_window")));
}

// "LABEL CLASS "TITLE" pid N" for a window, "LABEL -" for none.
void PrintWindow(const char* label, HWND hwnd) {
  if (!hwnd) {
    std::printf("%s -\n", label);
    return;
  }
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  std::printf("%s %s \"%s\" pid %lu\n", label, ClassOf(hwnd).c_str(), TextOf(hwnd).c_str(), pid);
}

bool serving = false;

// An error: on stderr, or into the answer when serving.
template <typename... Args>
void Complain(const char* format, Args... args) {
  if (serving) std::fputc('\x1f', stdout);
  std::fprintf(serving ? stdout : stderr, format, args...);
}

int Usage() {
  Complain("usage: winprobe icons|window|close|dialog|press ... [--expect N] [--wait MS]\n");
  return 2;
}

int Run(const std::vector<std::string>& words);

int refusedMessages = 0;

LRESULT CALLBACK RefusingTrayProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COPYDATA) return DefWindowProcA(hwnd, message, wParam, lParam);
  ++refusedMessages;
  return FALSE;
}

int RefusingTray(int refusals, DWORD standMs) {
  WNDCLASSA tray{};
  tray.lpfnWndProc = RefusingTrayProc;
  tray.hInstance = GetModuleHandleA(nullptr);
  tray.lpszClassName = "Shell_TrayWnd";
  if (!RegisterClassA(&tray)) {
    Complain("winprobe: cannot register the tray's class\n");
    return 2;
  }
  HWND hwnd = CreateWindowExA(0, tray.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              tray.hInstance, nullptr);
  if (!hwnd) {
    Complain("winprobe: cannot create the tray's window\n");
    return 2;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  // Answers the shell's messages until it has refused enough or the time is up.
  const DWORD start = GetTickCount();
  for (DWORD elapsed; refusedMessages < refusals && (elapsed = GetTickCount() - start) < standMs;) {
    (void)MsgWaitForMultipleObjects(0, nullptr, FALSE, standMs - elapsed, QS_ALLINPUT);
    for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&msg);
  }
  DestroyWindow(hwnd);  // our own window, on its own thread: it goes
  std::printf("refused %d\n", refusedMessages);
  return refusedMessages >= refusals ? 0 : 1;
}

// One question a line until stdin ends.
int Serve() {
  serving = true;
  std::string line;
  for (int c; (c = std::getchar()) != EOF;) {
    if (c != '\n') {
      line += static_cast<char>(c);
      continue;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> words;
    for (std::size_t start = 0;;) {
      const std::size_t tab = line.find('\t', start);
      words.push_back(line.substr(start, tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    const int code = Run(words);
    std::printf("\x1e%d\n", code);
    std::fflush(stdout);
    line.clear();
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  // Aware of the display's scale, as kobex is: the screen's own resolution
  // and pixels, which xdotool needs. (Wine 10 shows a program that is not
  // 96 DPI and coordinates scaled to it; Wine 8 shows every program the same.)
  // (user32 is loaded in every program with windows; without the function, as
  // on XP, every program sees the screen as it is, and nothing needs doing.)
  using SetAwareFn = BOOL(WINAPI*)();
  const HMODULE user32 = GetModuleHandleA("user32.dll");
  if (const auto setAware = user32 ? reinterpret_cast<SetAwareFn>(reinterpret_cast<void*>(
                                         GetProcAddress(user32, "SetProcessDPIAware")))
                                   : nullptr) {
    if (!setAware()) Complain("winprobe: SetProcessDPIAware refused; coordinates may be scaled\n");
  }
  std::vector<std::string> words(argv + 1, argv + argc);
  if (words.size() == 1 && words[0] == "serve") return Serve();
  return Run(words);
}

namespace {

int Run(const std::vector<std::string>& words) {
  std::vector<std::string> args;
  DWORD waitMs = 0;
  int expect = -1;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (words[i] == "--wait" && i + 1 < words.size()) {
      waitMs = static_cast<DWORD>(std::atol(words[++i].c_str()));
    } else if (words[i] == "--expect" && i + 1 < words.size()) {
      expect = std::atoi(words[++i].c_str());
    } else {
      args.push_back(words[i]);
    }
  }
  if (args.empty()) return Usage();
  const std::string& verb = args[0];

  if (verb == "icons") {
    std::vector<HWND> icons;
    const bool held = WaitFor(waitMs, [&] {
      icons = kobex::probe::TrayIconWindows();
      return expect < 0 || static_cast<int>(icons.size()) == expect;
    });
    if (!kobex::probe::KnownTrayExists()) {
      Complain("winprobe: no tray at all: none of Wine 8's or Wine 10's tray windows "
                           "(__winex11_standalone_tray, __wine_x11_foreign_window, Shell_TrayWnd, __wine_tray_icon)\n");
      return 2;
    }
    std::printf("count %u\n", static_cast<unsigned>(icons.size()));
    for (HWND icon : icons) {
      RECT r{};
      if (!GetWindowRect(icon, &r)) {
        Complain("winprobe: an icon's window went as it was read\n");
        return 2;
      }
      // The icon's X window: where a docked icon is on the screen.
      std::printf("%ld %ld %ld %ld 0x%lx\n", r.left, r.top, r.right - r.left, r.bottom - r.top, XWindowOf(icon));
    }
    for (HWND tray : TopLevelWindows()) {
      RECT r;
      if (!kobex::probe::IsStandaloneTray(tray) || !IsWindowVisible(tray) || !GetWindowRect(tray, &r)) continue;
      std::printf("tray %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
    return held ? 0 : 1;
  }
  if (verb == "class" && args.size() >= 2) {
    long count = 0;
    const bool held = WaitFor(waitMs, [&] {
      const std::vector<HWND> all = TopLevelWindows();
      count = std::count_if(all.begin(), all.end(), [&](HWND h) { return ClassOf(h) == args[1]; });
      return expect < 0 || count == expect;
    });
    std::printf("count %ld\n", count);
    return held ? 0 : 1;
  }
  if (verb == "taskbar-created") {
    const UINT message = RegisterWindowMessageA("TaskbarCreated");
    std::printf("message %08x\n", message);
    return PostMessageA(HWND_BROADCAST, message, 0, 0) ? 0 : 1;
  }
  if (verb == "refusing-tray") return RefusingTray(expect, waitMs);
  if (verb == "settingchange") {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0, SMTO_ABORTIFHUNG, 5000,
                               &answer)
               ? 0
               : 1;
  }
  if (verb == "metrics") {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    std::printf("dpi %d smicon %d %d icon %d %d dblclk %u\n", dpi, GetSystemMetrics(SM_CXSMICON),
                GetSystemMetrics(SM_CYSMICON), GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                GetDoubleClickTime());
    return 0;
  }
  if (verb == "icongroup" && args.size() >= 3) {
    HMODULE program = LoadLibraryExA(args[1].c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = program ? FindResourceA(program, MAKEINTRESOURCEA(std::atoi(args[2].c_str())),
                                          MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */)
                          : nullptr;
    HGLOBAL loaded = found ? LoadResource(program, found) : nullptr;
    const auto* group = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!group || SizeofResource(program, found) < 6) return 1;
    // GRPICONDIR: reserved, type, count; then 14 bytes per frame, width first (0 for 256).
    const int count = group[4] | (group[5] << 8);
    std::printf("frames");
    for (int i = 0; i < count; ++i) std::printf(" %d", group[6 + 14 * i] ? group[6 + 14 * i] : 256);
    std::printf("\n");
    return 0;
  }
  if (verb == "menus-opened") {
    // Looks every few milliseconds: a menu that a person sees stays open far longer.
    const auto shown = [&args] {
      std::vector<HWND> windows = OpenMenus();
      if (args.size() >= 2) {
        for (HWND hwnd : TopLevelWindows()) {
          if (TextOf(hwnd) == args[1] && IsWindowVisible(hwnd)) windows.push_back(hwnd);
        }
      }
      return windows;
    };
    std::vector<HWND> open = shown();  // open already: not counted
    std::printf("ready\n");
    std::fflush(stdout);
    int opened = 0;
    const bool held = WaitFor(waitMs, [&] {
      const std::vector<HWND> now = shown();
      for (HWND hwnd : now) opened += std::find(open.begin(), open.end(), hwnd) == open.end() ? 1 : 0;
      open = now;
      return expect >= 0 && opened >= expect;
    }, 5);
    std::printf("opened %d\n", opened);
    return held ? 0 : 1;
  }
  if (verb == "foreground") {
    PrintWindow("foreground", GetForegroundWindow());
    return 0;
  }
  if (verb == "xwindow" && args.size() >= 2) {
    const unsigned long wanted = std::strtoul(args[1].c_str(), nullptr, 0);
    const std::vector<HWND> windows = TopLevelWindows();
    const auto found = std::find_if(windows.begin(), windows.end(), [&](HWND h) { return XWindowOf(h) == wanted; });
    PrintWindow("xwindow", found == windows.end() ? nullptr : *found);
    return found == windows.end() ? 1 : 0;
  }
  if (verb == "menus") {
    std::vector<HWND> menus;
    const bool held = WaitFor(waitMs, [&] {
      menus = OpenMenus();
      return expect < 0 || static_cast<int>(menus.size()) == expect;
    });
    std::printf("count %u\n", static_cast<unsigned>(menus.size()));
    for (HWND hwnd : menus) {
      RECT r;
      GetWindowRect(hwnd, &r);
      std::printf("menu %ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
      std::fputs(MenuItems(hwnd).c_str(), stdout);
    }
    return held ? 0 : 1;
  }
  if (args.size() < 2) return Usage();
  const std::string& title = args[1];

  if (verb == "drop-icon" || verb == "endsession" || verb == "callback" || verb == "responsive" ||
      verb == "stats") {
    HWND hwnd = nullptr;
    if (!WaitFor(verb == "responsive" ? 0 : waitMs, [&] { return (hwnd = FindTopLevel(title, nullptr, false)); })) {
      return 1;
    }
    if (verb == "drop-icon") {
      NOTIFYICONDATAA data{};
      data.cbSize = NOTIFYICONDATAA_V1_SIZE;
      data.hWnd = hwnd;
      data.uID = 100;
      return Shell_NotifyIconA(NIM_DELETE, &data) ? 0 : 1;
    }
    if (verb == "endsession") {
      DWORD_PTR answer = 0;
      SendMessageTimeoutA(hwnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer);
      std::printf("queryendsession %lu\n", static_cast<unsigned long>(answer));
      SendMessageTimeoutA(hwnd, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer);
      return 0;
    }
    if (verb == "callback") {
      if (args.size() < 3) return Usage();
      const LPARAM code = std::atol(args[2].c_str());
      const long count = args.size() > 3 ? std::atol(args[3].c_str()) : 1;
      const DWORD start = GetTickCount();
      for (long i = 0; i < count; ++i) SendMessageA(hwnd, WM_MOUSEMOVE, 100, code);
      std::printf("elapsed %lu\n", GetTickCount() - start);
      return 0;
    }
    if (verb == "responsive") {
      const DWORD start = GetTickCount();
      DWORD_PTR answer = 0;
      while (!SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 100, &answer)) {
        if (GetTickCount() - start >= waitMs) return 1;
      }
      std::printf("after %lu\n", GetTickCount() - start);
      return 0;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return 1;
    DWORD handles = 0;
    GetProcessHandleCount(process, &handles);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    std::printf("handles %lu gdi %lu user %lu workingset %lu private %lu\n", handles,
                GetGuiResources(process, GR_GDIOBJECTS), GetGuiResources(process, GR_USEROBJECTS),
                static_cast<unsigned long>(memory.WorkingSetSize), static_cast<unsigned long>(memory.PrivateUsage));
    CloseHandle(process);
    return 0;
  }
  if (verb == "window" || verb == "close") {
    HWND hwnd = nullptr;
    if (!WaitFor(waitMs, [&] { return (hwnd = FindTopLevel(title, nullptr, false)) != nullptr; })) return 1;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    std::printf("window %s visible %d pid %lu hwnd %08lx\n", ClassOf(hwnd).c_str(), IsWindowVisible(hwnd) ? 1 : 0, pid,
                static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(hwnd)));
    if (verb == "close") PostMessageA(hwnd, WM_CLOSE, 0, 0);
    return 0;
  }
  if (verb == "dialog" || verb == "press" || verb == "point") {
    HWND dialog = nullptr;
    if (!WaitFor(waitMs, [&] { return (dialog = FindTopLevel(title, "#32770", true)) != nullptr; })) return 1;
    if (verb == "dialog") {
      RECT client;
      GetClientRect(dialog, &client);
      std::printf("client %ld %ld\n", client.right, client.bottom);
      GUITHREADINFO gui{};
      gui.cbSize = sizeof gui;
      const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
      std::printf("focus %d\n", GetGUIThreadInfo(thread, &gui) && gui.hwndFocus ? GetDlgCtrlID(gui.hwndFocus) : 0);
      int count = 0;
      for (HWND hwnd : TopLevelWindows()) {
        if (TextOf(hwnd) == title && ClassOf(hwnd) == "#32770" && IsWindowVisible(hwnd)) ++count;
      }
      std::printf("count %d\n", count);
      for (HWND child : Children(dialog)) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        std::printf("%d %s %ld %ld %ld %ld %s\n", GetDlgCtrlID(child), ClassOf(child).c_str(), r.left, r.top,
                    r.right - r.left, r.bottom - r.top, TextOf(child).c_str());
      }
      return 0;
    }
    if (args.size() < 3) return Usage();
    const int id = std::atoi(args[2].c_str());
    HWND button = GetDlgItem(dialog, id);
    if (!button) return 1;
    if (verb == "point") {
      RECT r;
      if (!GetWindowRect(button, &r)) return 1;
      std::printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
      return 0;
    }
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return 0;
  }
  return Usage();
}

}  // namespace
