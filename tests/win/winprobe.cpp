// Looks at and acts on windows of other programs in the same Wine prefix, for
// the end-to-end tests: "winprobe VERB ARGUMENTS", one verb of the table below
// (which "winprobe" alone prints), or "winprobe serve": one question a line
// from stdin, its words separated by tabs; the answer's lines, errors prefixed
// with \x1f, then "\x1e" and the exit code. A Wine process takes a second to
// start where 32-bit programs run under emulation: a test asks one
// long-running "serve" instead of starting one a question.
// Exit code 0 when the condition held, 1 when the wait ran out, 2 on misuse.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "control/menu_placement.h"
#include "menu_reader.h"
#include "platform/win32/wine_steps.h"
#include "platform/win32/work_area.h"
#include "wine_tray.h"

namespace {

constexpr char kMenuClass[] = "#32768";
constexpr char kDialogClass[] = "#32770";

using kobex::probe::Children;
using kobex::probe::ClassOf;
using kobex::probe::TopLevelWindows;

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

// "LABEL X Y W H", a rectangle as the tests read one.
void PrintRect(const char* label, const RECT& r) {
  std::printf("%s%s%ld %ld %ld %ld\n", label, *label ? " " : "", r.left, r.top, r.right - r.left, r.bottom - r.top);
}

DWORD ProcessOf(HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid;
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
  const FARPROC found = reader ? GetProcAddress(reader, "MenuReaderHook") : nullptr;
  const auto hook = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(found));
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
  std::printf("%s %s \"%s\" pid %lu\n", label, ClassOf(hwnd).c_str(), TextOf(hwnd).c_str(), ProcessOf(hwnd));
}

bool serving = false;

// An error: on stderr, or into the answer when serving.
template <typename... Args>
void Complain(const char* format, Args... args) {
  if (serving) std::fputc('\x1f', stdout);
  std::fprintf(serving ? stdout : stderr, format, args...);
}

// One question: the verb's words after its name, its options, and the window
// its first word names, found (within --wait) before the verb runs.
struct Question {
  std::vector<std::string> args;
  DWORD waitMs = 0;
  int expect = -1;
  HWND window = nullptr;
  long Number(std::size_t i) const { return std::strtol(args[i].c_str(), nullptr, 0); }
};

// Whether what `look` finds comes to --expect windows (any number without it)
// within --wait; `found` holds the last look.
bool CountReaches(const Question& q, std::vector<HWND>& found, const std::function<std::vector<HWND>()>& look) {
  return WaitFor(q.waitMs, [&] {
    found = look();
    return q.expect < 0 || static_cast<int>(found.size()) == q.expect;
  });
}

int Icons(const Question& q) {
  std::vector<HWND> icons;
  const bool held = CountReaches(q, icons, kobex::probe::TrayIconWindows);
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
    if (kobex::probe::IsStandaloneTray(tray) && IsWindowVisible(tray) && GetWindowRect(tray, &r)) PrintRect("tray", r);
  }
  return held ? 0 : 1;
}

int Window(const Question& q) {
  std::printf("window %s visible %d pid %lu hwnd %08lx\n", ClassOf(q.window).c_str(), IsWindowVisible(q.window) ? 1 : 0,
              ProcessOf(q.window), static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(q.window)));
  return 0;
}

int Close(const Question& q) {
  Window(q);
  return PostMessageA(q.window, WM_CLOSE, 0, 0) ? 0 : 1;
}

int Class(const Question& q) {
  std::vector<HWND> windows;
  const bool held = CountReaches(q, windows, [&] {
    std::vector<HWND> all = TopLevelWindows();
    all.erase(std::remove_if(all.begin(), all.end(), [&](HWND h) { return ClassOf(h) != q.args[0]; }), all.end());
    return all;
  });
  std::printf("count %u\n", static_cast<unsigned>(windows.size()));
  return held ? 0 : 1;
}

int Menus(const Question& q) {
  std::vector<HWND> menus;
  const bool held = CountReaches(q, menus, OpenMenus);
  std::printf("count %u\n", static_cast<unsigned>(menus.size()));
  for (HWND hwnd : menus) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    PrintRect("menu", r);
    std::fputs(MenuItems(hwnd).c_str(), stdout);
  }
  return held ? 0 : 1;
}

int MenusOpened(const Question& q) {
  // Looks every few milliseconds: a menu that a person sees stays open far longer.
  const auto shown = [&q] {
    std::vector<HWND> windows = OpenMenus();
    for (HWND hwnd : TopLevelWindows()) {
      if (!q.args.empty() && TextOf(hwnd) == q.args[0] && IsWindowVisible(hwnd)) windows.push_back(hwnd);
    }
    return windows;
  };
  std::vector<HWND> open = shown();  // open already: not counted
  std::printf("ready\n");
  std::fflush(stdout);
  int opened = 0;
  const bool held = WaitFor(q.waitMs, [&] {
    const std::vector<HWND> now = shown();
    for (HWND hwnd : now) opened += std::find(open.begin(), open.end(), hwnd) == open.end() ? 1 : 0;
    open = now;
    return q.expect >= 0 && opened >= q.expect;
  }, 5);
  std::printf("opened %d\n", opened);
  return held ? 0 : 1;
}

// Where the program's own rule puts the tray menu for a press at X,Y: the icon
// there as the program finds it, and the work area of its monitor.
int Placement(const Question& q) {
  const POINT pointer{q.Number(0), q.Number(1)};
  std::optional<kobex::ScreenRect> icon;
  POINT monitorPoint = pointer;
  if (const std::optional<RECT> r = kobex::win32::wine::TrayIconUnderPointer(pointer)) {
    icon = kobex::ScreenRect{r->left, r->top, r->right, r->bottom};
    monitorPoint = {(r->left + r->right) / 2, (r->top + r->bottom) / 2};
  }
  const RECT area = kobex::win32::WorkAreaAt(monitorPoint);
  const kobex::MenuPlacement place =
      kobex::PlaceTrayMenu({pointer.x, pointer.y}, icon, {area.left, area.top, area.right, area.bottom});
  std::printf("at %d %d %s %s\n", place.at.x, place.at.y, place.extendsLeft ? "left" : "right",
              place.extendsUp ? "up" : "down");
  return 0;
}

int Dialog(const Question& q) {
  RECT client{};
  GetClientRect(q.window, &client);
  std::printf("client %ld %ld\n", client.right, client.bottom);
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  const DWORD thread = GetWindowThreadProcessId(q.window, nullptr);
  std::printf("focus %d\n", GetGUIThreadInfo(thread, &gui) && gui.hwndFocus ? GetDlgCtrlID(gui.hwndFocus) : 0);
  int count = 0;
  for (HWND hwnd : TopLevelWindows()) {
    count += TextOf(hwnd) == q.args[0] && ClassOf(hwnd) == kDialogClass && IsWindowVisible(hwnd) ? 1 : 0;
  }
  std::printf("count %d\n", count);
  for (HWND child : Children(q.window)) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, q.window, reinterpret_cast<POINT*>(&r), 2);
    std::printf("%d %s %ld %ld %ld %ld %s\n", GetDlgCtrlID(child), ClassOf(child).c_str(), r.left, r.top,
                r.right - r.left, r.bottom - r.top, TextOf(child).c_str());
  }
  return 0;
}

int Press(const Question& q) {
  const int id = static_cast<int>(q.Number(1));
  HWND button = GetDlgItem(q.window, id);
  return button && PostMessageA(q.window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button))
             ? 0
             : 1;
}

int Point(const Question& q) {
  RECT r{};
  HWND control = GetDlgItem(q.window, static_cast<int>(q.Number(1)));
  if (!control || !GetWindowRect(control, &r)) return 1;
  std::printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  return 0;
}

int Foreground(const Question&) {
  PrintWindow("foreground", GetForegroundWindow());
  return 0;
}

int XWindow(const Question& q) {
  const unsigned long wanted = std::strtoul(q.args[0].c_str(), nullptr, 0);
  const std::vector<HWND> windows = TopLevelWindows();
  const auto found = std::find_if(windows.begin(), windows.end(), [&](HWND h) { return XWindowOf(h) == wanted; });
  PrintWindow("xwindow", found == windows.end() ? nullptr : *found);
  return found == windows.end() ? 1 : 0;
}

int Metrics(const Question&) {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  std::printf("dpi %d smicon %d %d icon %d %d dblclk %u\n", dpi, GetSystemMetrics(SM_CXSMICON),
              GetSystemMetrics(SM_CYSMICON), GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
              GetDoubleClickTime());
  return 0;
}

int IconGroup(const Question& q) {
  HMODULE program = LoadLibraryExA(q.args[0].c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  const auto kGroupIcon = MAKEINTRESOURCEA(14);  // RT_GROUP_ICON
  HRSRC found = program ? FindResourceA(program, MAKEINTRESOURCEA(q.Number(1)), kGroupIcon) : nullptr;
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

int DropIcon(const Question& q) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = q.window;
  data.uID = 100;
  return Shell_NotifyIconA(NIM_DELETE, &data) ? 0 : 1;
}

int TaskbarCreated(const Question&) {
  const UINT message = RegisterWindowMessageA("TaskbarCreated");
  std::printf("message %08x\n", message);
  return PostMessageA(HWND_BROADCAST, message, 0, 0) ? 0 : 1;
}

int SettingChange(const Question&) {
  DWORD_PTR answer = 0;
  return SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0, SMTO_ABORTIFHUNG, 5000,
                             &answer)
             ? 0
             : 1;
}

int EndSession(const Question& q) {
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(q.window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer);
  std::printf("queryendsession %lu\n", static_cast<unsigned long>(answer));
  // Its answer tells nothing: the window may be gone before it returns.
  (void)SendMessageTimeoutA(q.window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer);
  return 0;
}

int Callback(const Question& q) {
  const long count = q.args.size() > 2 ? q.Number(2) : 1;
  const DWORD start = GetTickCount();
  for (long i = 0; i < count; ++i) SendMessageA(q.window, WM_MOUSEMOVE, 100, q.Number(1));
  std::printf("elapsed %lu\n", GetTickCount() - start);
  return 0;
}

int Responsive(const Question& q) {
  const DWORD start = GetTickCount();
  DWORD_PTR answer = 0;
  while (!SendMessageTimeoutA(q.window, WM_NULL, 0, 0, SMTO_NORMAL, 100, &answer)) {
    if (GetTickCount() - start >= q.waitMs) return 1;
  }
  std::printf("after %lu\n", GetTickCount() - start);
  return 0;
}

int refusedMessages = 0;

LRESULT CALLBACK RefusingTrayProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COPYDATA) return DefWindowProcA(hwnd, message, wParam, lParam);
  ++refusedMessages;
  return FALSE;
}

int RefusingTray(const Question& q) {
  WNDCLASSA tray{};
  tray.lpfnWndProc = RefusingTrayProc;
  tray.hInstance = GetModuleHandleA(nullptr);
  tray.lpszClassName = "Shell_TrayWnd";
  HWND hwnd = RegisterClassA(&tray) ? CreateWindowExA(0, tray.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                                                      nullptr, tray.hInstance, nullptr)
                                    : nullptr;
  if (!hwnd) {
    Complain("winprobe: cannot make the tray's window (error %lu)\n", GetLastError());
    return 2;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  // Answers the shell's messages until it has refused enough or the time is up.
  const DWORD start = GetTickCount();
  for (DWORD elapsed; refusedMessages < q.expect && (elapsed = GetTickCount() - start) < q.waitMs;) {
    (void)MsgWaitForMultipleObjects(0, nullptr, FALSE, q.waitMs - elapsed, QS_ALLINPUT);
    for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&msg);
  }
  DestroyWindow(hwnd);  // our own window, on its own thread: it goes
  std::printf("refused %d\n", refusedMessages);
  return refusedMessages >= q.expect ? 0 : 1;
}

// What the verb's first word names, found before it runs.
enum class Names { Nothing, Window, Dialog };

struct Verb {
  const char* name;
  const char* arguments;
  const char* prints;
  Names names;
  std::size_t words;  // at least, after the verb
  int (*run)(const Question&);
};

// What each prints; --wait MS waits up to MS for the condition or the window,
// --expect N for a count of N.
const Verb kVerbs[] = {
    {"icons", "[--expect N] [--wait MS]", "Wine's tray: \"count N\", \"X Y W H XID\" an icon, \"tray X Y W H\"",
     Names::Nothing, 0, Icons},
    {"window", "TITLE [--wait MS]", "\"window CLASS visible 0|1 pid N hwnd XXXXXXXX\", shown or not", Names::Window, 1,
     Window},
    {"close", "TITLE [--wait MS]", "as window, then posts it WM_CLOSE", Names::Window, 1, Close},
    {"class", "CLASS [--expect N] [--wait MS]", "\"count N\": windows of the class", Names::Nothing, 1, Class},
    {"menus", "[--expect N] [--wait MS]", "\"count N\", \"menu X Y W H\" and its \"item X Y W H STATE TEXT\" a menu",
     Names::Nothing, 0, Menus},
    {"menus-opened", "[TITLE] [--expect N] [--wait MS]",
     "\"ready\", then \"opened N\": the menus (and windows titled TITLE) shown since; ends when N have been",
     Names::Nothing, 0, MenusOpened},
    {"placement", "X Y", "\"at X Y left|right up|down\": the program's place for the menu of a press at X,Y",
     Names::Nothing, 2, Placement},
    {"dialog", "TITLE [--wait MS]",
     "a shown dialog: \"client W H\", \"focus ID\", \"count N\" of that title, \"ID CLASS X Y W H TEXT\" a control",
     Names::Dialog, 1, Dialog},
    {"press", "TITLE ID [--wait MS]", "clicks the dialog's button ID", Names::Dialog, 2, Press},
    {"point", "TITLE ID [--wait MS]", "\"X Y\": the centre of the dialog's control ID", Names::Dialog, 2, Point},
    {"foreground", "", "\"foreground CLASS \"TITLE\" pid N\", or \"foreground -\"", Names::Nothing, 0, Foreground},
    {"xwindow", "XID", "\"xwindow CLASS \"TITLE\" pid N\" of the window whose X window is XID", Names::Nothing, 1,
     XWindow},
    {"metrics", "", "\"dpi N smicon W H icon W H dblclk MS\"", Names::Nothing, 0, Metrics},
    {"icongroup", "FILE ID", "\"frames N...\": the frames' sizes in icon group ID of FILE", Names::Nothing, 2,
     IconGroup},
    {"drop-icon", "TITLE", "removes that window's icon 100 from the tray", Names::Window, 1, DropIcon},
    {"taskbar-created", "", "\"message XXXXXXXX\": broadcasts it, as a restarted shell does", Names::Nothing, 0,
     TaskbarCreated},
    {"settingchange", "", "broadcasts WM_SETTINGCHANGE, as a new display scale does", Names::Nothing, 0,
     SettingChange},
    {"endsession", "TITLE", "\"queryendsession ANSWER\": the messages of a log-off", Names::Window, 1, EndSession},
    {"callback", "TITLE CODE [COUNT]", "\"elapsed MS\": sends the tray callback for mouse message CODE", Names::Window,
     2, Callback},
    {"responsive", "TITLE [--wait MS]", "\"after MS\": once the window answers", Names::Window, 1, Responsive},
    // Shell_NotifyIcon sends to the first window of class Shell_TrayWnd: this one, in front of Wine's.
    {"refusing-tray", "--expect N --wait MS",
     "\"ready\", then \"refused N\": a tray refusing every icon until it refused N messages, or MS passed",
     Names::Nothing, 0, RefusingTray},
};

int Usage() {
  Complain("usage: winprobe VERB ARGUMENTS, or winprobe serve; the verbs:\n");
  for (const Verb& verb : kVerbs) Complain("  %s %s\n      %s\n", verb.name, verb.arguments, verb.prints);
  return 2;
}

int Run(const std::vector<std::string>& words) {
  Question q;
  for (std::size_t i = 1; i < words.size(); ++i) {
    if (words[i] == "--wait" && i + 1 < words.size()) {
      q.waitMs = static_cast<DWORD>(std::atol(words[++i].c_str()));
    } else if (words[i] == "--expect" && i + 1 < words.size()) {
      q.expect = std::atoi(words[++i].c_str());
    } else {
      q.args.push_back(words[i]);
    }
  }
  const auto verb = std::find_if(std::begin(kVerbs), std::end(kVerbs),
                                 [&](const Verb& v) { return !words.empty() && words[0] == v.name; });
  if (verb == std::end(kVerbs) || q.args.size() < verb->words) return Usage();
  if (verb->names != Names::Nothing) {
    const bool dialog = verb->names == Names::Dialog;
    const char* const onlyClass = dialog ? kDialogClass : nullptr;
    const auto found = [&] { return (q.window = FindTopLevel(q.args[0], onlyClass, dialog)) != nullptr; };
    if (!WaitFor(q.waitMs, found)) return 1;
  }
  return verb->run(q);
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
    std::printf("\x1e%d\n", Run(words));
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
