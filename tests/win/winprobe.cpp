// Looks at and acts on other programs' windows in the same Wine prefix: "winprobe VERB ARGUMENTS" (the
// table below; "winprobe" alone prints it), or "winprobe serve" for a stream of them. Exits 0 when the
// condition held, 1 when the wait ran out, 2 on misuse; errors go to stderr.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "control/menu_placement.h"
#include "menu_reader.h"
#include "platform/win32/wine_steps.h"
#include "platform/win32/work_area.h"
#include "wine_tray.h"

namespace {

using kobex::probe::ClassOf;
using kobex::probe::TopLevelWindows;

constexpr char kMenuClass[] = "#32768";
constexpr char kDialogClass[] = "#32770";

std::string TextOf(HWND hwnd) {
  char text[512] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

DWORD ProcessOf(HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

bool WaitFor(DWORD waitMs, const std::function<bool()>& holds, DWORD everyMs = 50) {
  for (const DWORD start = GetTickCount();; Sleep(everyMs)) {
    if (holds()) return true;
    if (GetTickCount() - start >= waitMs) return false;
  }
}

std::string Box(const RECT& r) {  // "X Y W H"
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + " " +
         std::to_string(r.bottom - r.top);
}

// Wine keeps a menu's items in its owner's process: menu_reader.dll, hooked into it, writes them
// ("item X Y W H STATE TEXT" each, after an "items N" header) into a block shared with this process.
std::string MenuItems(HWND menuWindow) {
  using kobex::probe::kMenuBlockSize;
  static const HMODULE reader = LoadLibraryA("menu_reader.dll");  // found beside this program
  const auto hook = reinterpret_cast<HOOKPROC>(
      reinterpret_cast<void*>(reader ? GetProcAddress(reader, "MenuReaderHook") : nullptr));
  const std::string name = std::string(kobex::probe::kMenuBlockName) + "-" + std::to_string(GetCurrentProcessId());
  HANDLE mapping = hook ? CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kMenuBlockSize,
                                             name.c_str())
                        : nullptr;
  char* block = mapping ? static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0)) : nullptr;
  if (block) std::memset(block, 0, kMenuBlockSize);
  HHOOK hooked =
      block ? SetWindowsHookExA(WH_CALLWNDPROC, hook, reader, GetWindowThreadProcessId(menuWindow, nullptr)) : nullptr;
  std::string items;
  if (hooked && SendMessageTimeoutA(menuWindow, RegisterWindowMessageA(kobex::probe::kMenuReadMessage),
                                    GetCurrentProcessId(), 0, SMTO_NORMAL, 5000, nullptr)) {
    items.assign(block, strnlen(block, kMenuBlockSize));
  }
  if (hooked) UnhookWindowsHookEx(hooked);
  if (block) UnmapViewOfFile(block);
  if (mapping) CloseHandle(mapping);
  // Without the header the hook did not run in the menu's process.
  if (items.compare(0, 6, "items ") != 0) return "items unreadable\n";
  return items.erase(0, items.find('\n') + 1);
}

std::vector<HWND> TopLevel(const std::function<bool(HWND)>& keep) {
  std::vector<HWND> windows = TopLevelWindows();
  windows.erase(std::remove_if(windows.begin(), windows.end(), [&](HWND h) { return !keep(h); }), windows.end());
  return windows;
}

// Wine's X11 driver (8 and 10 alike) keeps a window's X window as a property of it.
unsigned long XWindowOf(HWND hwnd) {
  return static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(GetPropA(hwnd, "__wine_x11_whole_window")));
}

int PrintWindow(const char* label, HWND hwnd) {
  if (!hwnd) return std::printf("%s -\n", label), 1;
  std::printf("%s %s \"%s\" pid %lu\n", label, ClassOf(hwnd).c_str(), TextOf(hwnd).c_str(), ProcessOf(hwnd));
  return 0;
}

// The verb's words after its name, its options, and the window its first word names.
struct Question {
  std::vector<std::string> args;
  long waitMs = 0;
  long expect = -1;
  HWND window = nullptr;
  long Number(std::size_t i) const { return std::strtol(args[i].c_str(), nullptr, 0); }
};

// Prints "count N" of what `look` finds once it comes to --expect (any number without it) or --wait ends.
bool CountReaches(const Question& q, const std::function<std::vector<HWND>()>& look,
                  std::vector<HWND>* seen = nullptr) {
  std::vector<HWND> found;
  const bool held = WaitFor(q.waitMs, [&] {
    found = look();
    return q.expect < 0 || static_cast<long>(found.size()) == q.expect;
  });
  std::printf("count %u\n", static_cast<unsigned>(found.size()));
  if (seen) *seen = found;
  return held;
}

int Icons(const Question& q) {
  std::vector<HWND> icons;
  const bool held = CountReaches(q, kobex::probe::TrayIconWindows, &icons);
  if (!kobex::probe::KnownTrayExists()) return std::fprintf(stderr, "winprobe: no tray of Wine 8's or 10's\n"), 2;
  for (HWND icon : icons) {
    RECT r{};
    if (!GetWindowRect(icon, &r)) return std::fprintf(stderr, "winprobe: an icon went as it was read\n"), 2;
    // The icon's X window: where a docked icon is on the screen.
    std::printf("%s 0x%lx\n", Box(r).c_str(), XWindowOf(icon));
  }
  for (HWND tray : TopLevel(kobex::probe::IsStandaloneTray)) {
    RECT r;
    if (IsWindowVisible(tray) && GetWindowRect(tray, &r)) std::printf("tray %s\n", Box(r).c_str());
  }
  return held ? 0 : 1;
}

int Window(const Question& q) {
  std::printf("window %s visible %d pid %lu hwnd %08lx\n", ClassOf(q.window).c_str(), IsWindowVisible(q.window) ? 1 : 0,
              ProcessOf(q.window), static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(q.window)));
  return 0;
}

int Close(const Question& q) { return Window(q) || !PostMessageA(q.window, WM_CLOSE, 0, 0); }

int Class(const Question& q) {
  return CountReaches(q, [&] { return TopLevel([&](HWND h) { return ClassOf(h) == q.args[0]; }); }) ? 0 : 1;
}

int Menus(const Question& q) {
  std::vector<HWND> menus;
  const auto open = [] { return TopLevel([](HWND h) { return ClassOf(h) == kMenuClass && IsWindowVisible(h); }); };
  const bool held = CountReaches(q, open, &menus);
  for (HWND hwnd : menus) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    std::printf("menu %s\n%s", Box(r).c_str(), MenuItems(hwnd).c_str());
  }
  return held ? 0 : 1;
}

int MenusOpened(const Question& q) {
  const auto shown = [&q] {
    return TopLevel([&](HWND h) {
      return IsWindowVisible(h) && (ClassOf(h) == kMenuClass || (!q.args.empty() && TextOf(h) == q.args[0]));
    });
  };
  std::vector<HWND> open = shown();  // open already: not counted
  std::printf("ready\n");
  std::fflush(stdout);
  int opened = 0;
  // Every 5 ms: a menu that a person sees stays open far longer.
  const bool held = WaitFor(q.waitMs, [&] {
    const std::vector<HWND> now = shown();
    for (HWND hwnd : now) opened += std::find(open.begin(), open.end(), hwnd) == open.end() ? 1 : 0;
    open = now;
    return q.expect >= 0 && opened >= q.expect;
  }, 5);
  std::printf("opened %d\n", opened);
  return held ? 0 : 1;
}

// The program's own rule for a press at X,Y: the icon there as the program finds it, its monitor's work area.
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
  const bool read = GetGUIThreadInfo(GetWindowThreadProcessId(q.window, nullptr), &gui);
  std::printf("focus %d\n", read && gui.hwndFocus ? GetDlgCtrlID(gui.hwndFocus) : 0);
  const auto same = [&](HWND h) { return TextOf(h) == q.args[0] && ClassOf(h) == kDialogClass && IsWindowVisible(h); };
  std::printf("count %u\n", static_cast<unsigned>(TopLevel(same).size()));
  for (HWND child : kobex::probe::Children(q.window)) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, q.window, reinterpret_cast<POINT*>(&r), 2);
    std::printf("%d %s %s %s\n", GetDlgCtrlID(child), ClassOf(child).c_str(), Box(r).c_str(), TextOf(child).c_str());
  }
  return 0;
}

int Press(const Question& q) {
  const int id = static_cast<int>(q.Number(1));
  HWND button = GetDlgItem(q.window, id);
  return !button || !PostMessageA(q.window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

int Point(const Question& q) {
  RECT r{};
  HWND control = GetDlgItem(q.window, static_cast<int>(q.Number(1)));
  if (!control || !GetWindowRect(control, &r)) return 1;
  std::printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  return 0;
}

int Foreground(const Question&) { return PrintWindow("foreground", GetForegroundWindow()), 0; }

int XWindow(const Question& q) {
  const unsigned long wanted = std::strtoul(q.args[0].c_str(), nullptr, 0);
  const std::vector<HWND> found = TopLevel([&](HWND h) { return XWindowOf(h) == wanted; });
  return PrintWindow("xwindow", found.empty() ? nullptr : found[0]);
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
  // The group: reserved, type, count; then 14 bytes per frame, width first (0 for 256).
  std::string frames = "frames";
  for (const BYTE* frame = group + 6; frame < group + 6 + 14 * (group[4] | (group[5] << 8)); frame += 14) {
    frames += " " + std::to_string(*frame ? *frame : 256);
  }
  std::printf("%s\n", frames.c_str());
  return 0;
}

int DropIcon(const Question& q) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = q.window;
  data.uID = 100;
  return !Shell_NotifyIconA(NIM_DELETE, &data);
}

int TaskbarCreated(const Question&) {
  const UINT message = RegisterWindowMessageA("TaskbarCreated");
  std::printf("message %08x\n", message);
  return !PostMessageA(HWND_BROADCAST, message, 0, 0);
}

int SettingChange(const Question&) {
  return !SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0, SMTO_ABORTIFHUNG, 5000,
                              nullptr);
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
  const auto answers = [&] { return SendMessageTimeoutA(q.window, WM_NULL, 0, 0, SMTO_NORMAL, 100, nullptr) != 0; };
  if (!WaitFor(q.waitMs, answers, 0)) return 1;
  std::printf("after %lu\n", GetTickCount() - start);
  return 0;
}

int refusedMessages = 0;

LRESULT CALLBACK RefusingTrayProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COPYDATA) return DefWindowProcA(hwnd, message, wParam, lParam);
  ++refusedMessages;
  return FALSE;
}

// Shell_NotifyIcon sends to the first window of class Shell_TrayWnd: this one, made after Wine's.
int RefusingTray(const Question& q) {
  WNDCLASSA tray{0, RefusingTrayProc, 0, 0, GetModuleHandleA(nullptr), nullptr, nullptr, nullptr, nullptr,
                 "Shell_TrayWnd"};
  HWND hwnd = RegisterClassA(&tray) ? CreateWindowExA(0, tray.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                                                      nullptr, tray.hInstance, nullptr)
                                    : nullptr;
  if (!hwnd) return std::fprintf(stderr, "winprobe: no tray window (error %lu)\n", GetLastError()), 2;
  std::printf("ready\n");
  std::fflush(stdout);
  const bool held = WaitFor(q.waitMs, [&] {
    for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&msg);
    return refusedMessages >= q.expect;
  }, 5);
  DestroyWindow(hwnd);  // our own window, on its own thread: it goes
  std::printf("refused %d\n", refusedMessages);
  return held ? 0 : 1;
}

// A verb: its words beyond --wait MS and --expect N, in brackets where they may be left out; a first
// word TITLE or DIALOG names a window or a shown dialog, found within --wait before the verb runs.
struct Verb {
  const char* name;
  const char* arguments;
  const char* prints;
  int (*run)(const Question&);
};

const Verb kVerbs[] = {
    {"icons", "", "Wine's tray: count N, then X Y W H XID an icon, tray X Y W H", Icons},
    {"window", "TITLE", "window CLASS visible 0|1 pid N hwnd XXXXXXXX", Window},
    {"close", "TITLE", "as window, then posts it WM_CLOSE", Close},
    {"class", "CLASS", "count N: windows of the class", Class},
    {"menus", "", "count N, then menu X Y W H and its item X Y W H STATE TEXT a menu", Menus},
    {"menus-opened", "[TITLE]", "ready; opened N: menus (and TITLE windows) shown since, up to N", MenusOpened},
    {"placement", "X Y", "at X Y left|right up|down: the program's place for a press at X,Y", Placement},
    {"dialog", "DIALOG", "client W H, focus ID, count N of that title, ID CLASS X Y W H TEXT a control", Dialog},
    {"press", "DIALOG ID", "clicks the dialog's button ID", Press},
    {"point", "DIALOG ID", "X Y: the centre of the dialog's control ID", Point},
    {"foreground", "", "foreground CLASS \"TITLE\" pid N, or foreground -", Foreground},
    {"xwindow", "XID", "xwindow CLASS \"TITLE\" pid N: the window of that X window", XWindow},
    {"metrics", "", "dpi N smicon W H icon W H dblclk MS", Metrics},
    {"icongroup", "FILE ID", "frames N...: the frames' sizes in icon group ID of FILE", IconGroup},
    {"drop-icon", "TITLE", "removes that window's icon 100 from the tray", DropIcon},
    {"taskbar-created", "", "message XXXXXXXX: broadcasts it, as a restarted shell does", TaskbarCreated},
    {"settingchange", "", "broadcasts WM_SETTINGCHANGE, as a new display scale does", SettingChange},
    {"endsession", "TITLE", "queryendsession ANSWER: the messages of a log-off", EndSession},
    {"callback", "TITLE CODE [COUNT]", "elapsed MS: sends the tray callback for mouse message CODE", Callback},
    {"responsive", "TITLE", "after MS: once the window answers", Responsive},
    {"refusing-tray", "", "ready; refused N: a tray refusing every icon, until N messages or MS", RefusingTray},
};

int Run(const std::vector<std::string>& words) {
  const auto verb = std::find_if(std::begin(kVerbs), std::end(kVerbs),
                                 [&](const Verb& v) { return !words.empty() && words[0] == v.name; });
  Question q;
  for (std::size_t i = 1; i < words.size(); ++i) {
    long* option = words[i] == "--wait" ? &q.waitMs : words[i] == "--expect" ? &q.expect : nullptr;
    if (option && i + 1 < words.size()) *option = std::atol(words[++i].c_str());
    else q.args.push_back(words[i]);
  }
  std::istringstream usage(verb == std::end(kVerbs) ? "" : verb->arguments);
  std::vector<std::string> needed;
  for (std::string word; usage >> word;) {
    if (word[0] != '[') needed.push_back(word);
  }
  if (verb == std::end(kVerbs) || q.args.size() < needed.size()) {
    std::fprintf(stderr, "usage: winprobe VERB [ARGUMENTS] [--wait MS] [--expect N], or winprobe serve\n");
    for (const Verb& v : kVerbs) std::fprintf(stderr, "  %s %s\n      %s\n", v.name, v.arguments, v.prints);
    return 2;
  }
  if (!needed.empty() && (needed[0] == "TITLE" || needed[0] == "DIALOG")) {
    const bool dialog = needed[0] == "DIALOG";
    const auto found = [&] {
      const std::vector<HWND> w = TopLevel([&](HWND h) {
        return TextOf(h) == q.args[0] && (!dialog || (ClassOf(h) == kDialogClass && IsWindowVisible(h)));
      });
      return (q.window = w.empty() ? nullptr : w[0]) != nullptr;
    };
    if (!WaitFor(q.waitMs, found)) return 1;
  }
  return verb->run(q);
}

// One question a line, "ID<tab>VERB<tab>WORDS...", answered by its lines and "end ID CODE"; a Wine process
// takes seconds to start under emulation, so a test keeps one of these running.
int Serve() {
  for (std::string line; std::getline(std::cin, line);) {
    std::istringstream question(line);
    std::string id;
    std::getline(question, id, '\t');
    std::vector<std::string> words;
    for (std::string word; std::getline(question, word, '\t');) words.push_back(word);
    const int code = Run(words);
    std::printf("end %s %d\n", id.c_str(), code);
    std::fflush(stdout);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  // Aware of the display's scale, as kobex is: the screen's own pixels, as xdotool uses (XP lacks the call).
  using SetAwareFn = BOOL(WINAPI*)();
  const auto setAware = reinterpret_cast<SetAwareFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDPIAware")));
  if (setAware && !setAware()) std::fprintf(stderr, "winprobe: not aware of the scale: coordinates may be scaled\n");
  const std::vector<std::string> words(argv + 1, argv + argc);
  return words == std::vector<std::string>{"serve"} ? Serve() : Run(words);
}
