// Measures a tray program from outside, under the same clock for every step.
//   benchprobe startup EXE TITLE                 process start to its icon in the tray, ms
//   benchprobe click TITLE MESSAGE COUNT         the icon's double-click callback posted to the
//                                                window, to the request line at a recorder, ms each
//   benchprobe dblclick TITLE COUNT              the same through a real double-click on the icon
//   benchprobe burst TITLE MESSAGE COUNT         COUNT callbacks queued at once: total ms, arrivals
//   benchprobe memory TITLE                      working set of the window's process, KiB
// The recorder listens on the client's endpoint, answers 200 and keeps each request
// line with the moment it arrived.
#include <winsock2.h>
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../tests/win/wine_tray.h"
#include "control/client_commands.h"

namespace {

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

HWND FindWindowTitled(const char* title, DWORD waitMs) {
  const double deadline = NowMs() + waitMs;
  for (;;) {
    if (HWND hwnd = FindWindowA(nullptr, title)) return hwnd;
    if (NowMs() > deadline) return nullptr;
    Sleep(1);
  }
}

// Waits until the window's thread has handled everything before this call.
void WaitIdle(HWND hwnd) {
  DWORD_PTR answer;
  SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer);
}

struct Recorder {
  SOCKET listener = INVALID_SOCKET;
  HANDLE arrived = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  CRITICAL_SECTION lock;
  std::vector<std::string> lines;
  std::vector<double> times;

  bool Start() {
    InitializeCriticalSection(&lock);
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return false;
    listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    BOOL yes = TRUE;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&yes), sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(kobex::kClientPort);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 64) != 0) {
      std::fprintf(stderr, "benchprobe: cannot listen on the client's port\n");
      return false;
    }
    CreateThread(nullptr, 0, Serve, this, 0, nullptr);
    return true;
  }

  static DWORD WINAPI Serve(LPVOID self) {
    auto* r = static_cast<Recorder*>(self);
    for (;;) {
      SOCKET client = accept(r->listener, nullptr, nullptr);
      if (client == INVALID_SOCKET) continue;
      std::string head;
      char buffer[1024];
      int n;
      while (head.find("\r\n\r\n") == std::string::npos && (n = recv(client, buffer, sizeof buffer, 0)) > 0) {
        head.append(buffer, static_cast<std::size_t>(n));
      }
      const double at = NowMs();
      const char reply[] = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
      send(client, reply, sizeof reply - 1, 0);
      closesocket(client);
      EnterCriticalSection(&r->lock);
      r->lines.push_back(head.substr(0, head.find("\r\n")));
      r->times.push_back(at);
      LeaveCriticalSection(&r->lock);
      SetEvent(r->arrived);
    }
  }

  std::size_t Count() {
    EnterCriticalSection(&lock);
    const std::size_t n = lines.size();
    LeaveCriticalSection(&lock);
    return n;
  }

  // Waits until COUNT requests have arrived in all; the arrival time of the last.
  double WaitFor(std::size_t count, DWORD waitMs) {
    const double deadline = NowMs() + waitMs;
    while (Count() < count && NowMs() < deadline) WaitForSingleObject(arrived, 100);
    EnterCriticalSection(&lock);
    const double at = lines.size() >= count ? times[count - 1] : -1;
    LeaveCriticalSection(&lock);
    return at;
  }
};

void DoubleClickAt(int x, int y) {
  const int sx = GetSystemMetrics(SM_CXSCREEN) - 1, sy = GetSystemMetrics(SM_CYSCREEN) - 1;
  INPUT inputs[4] = {};
  const DWORD flags[4] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
  for (int i = 0; i < 4; ++i) {
    inputs[i].type = INPUT_MOUSE;
    inputs[i].mi.dx = x * 65535 / sx;
    inputs[i].mi.dy = y * 65535 / sy;
    inputs[i].mi.dwFlags = flags[i] | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  }
  SendInput(4, inputs, sizeof(INPUT));
}

int Usage() {
  std::fprintf(stderr, "usage: benchprobe startup|click|dblclick|burst|memory ...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string verb = argv[1];

  if (verb == "startup" && argc >= 4) {
    const std::size_t before = kobex::probe::TrayIcons().size();
    std::string command = std::string("\"") + argv[2] + "\"";
    std::string folder = argv[2];
    folder = folder.substr(0, folder.find_last_of("\\/"));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const double start = NowMs();
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &process)) {
      return 1;
    }
    while (kobex::probe::TrayIcons().size() <= before && NowMs() - start < 20000) Sleep(1);
    const double took = NowMs() - start;
    const bool iconShown = kobex::probe::TrayIcons().size() > before;
    if (HWND hwnd = FindWindowTitled(argv[3], 5000)) PostMessageA(hwnd, WM_CLOSE, 0, 0);
    // The next start must not find this one still running: a launcher that
    // finds another in the session ends at once, without an icon.
    const bool ended = WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!iconShown || !ended) {
      std::fprintf(stderr, "benchprobe: %s\n", iconShown ? "the program did not end" : "no icon within 20 s");
      return 1;
    }
    std::printf("%.2f\n", took);
    return 0;
  }

  HWND hwnd = FindWindowTitled(argv[2], 10000);
  if (!hwnd) return 1;
  if (verb == "memory") {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    std::printf("%lu %lu\n", static_cast<unsigned long>(memory.WorkingSetSize / 1024),
                static_cast<unsigned long>(memory.PrivateUsage / 1024));
    return 0;
  }

  Recorder recorder;
  if (!recorder.Start()) return 1;
  if ((verb == "click" || verb == "burst") && argc >= 5) {
    const UINT message = static_cast<UINT>(std::strtoul(argv[3], nullptr, 0));
    const int count = std::atoi(argv[4]);
    const LPARAM dblclk = WM_LBUTTONDBLCLK;
    if (verb == "burst") {
      const double start = NowMs();
      for (int i = 0; i < count; ++i) PostMessageA(hwnd, message, 100, dblclk);
      const double last = recorder.WaitFor(static_cast<std::size_t>(count), 120000);
      std::printf("%zu %.2f\n", recorder.Count(), last - start);
      return 0;
    }
    for (int i = 0; i < count; ++i) {
      WaitIdle(hwnd);
      const double start = NowMs();
      PostMessageA(hwnd, message, 100, dblclk);
      const double at = recorder.WaitFor(static_cast<std::size_t>(i + 1), 10000);
      if (at < 0) return 1;
      std::printf("%.3f\n", at - start);
    }
    return 0;
  }
  if (verb == "dblclick") {
    const int count = std::atoi(argv[3]);
    const auto icons = kobex::probe::TrayIcons();
    if (icons.size() != 1) return 1;
    const int x = (icons[0].left + icons[0].right) / 2, y = (icons[0].top + icons[0].bottom) / 2;
    for (int i = 0; i < count; ++i) {
      WaitIdle(hwnd);
      Sleep(600);  // apart from the last double-click, so that each is one
      const double start = NowMs();
      DoubleClickAt(x, y);
      const double at = recorder.WaitFor(static_cast<std::size_t>(i + 1), 10000);
      if (at < 0) return 1;
      std::printf("%.3f\n", at - start);
    }
    return 0;
  }
  return Usage();
}
