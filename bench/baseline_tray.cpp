// The least a Win32 tray program can do, as the benchmark's baseline: the
// work the launcher does before its icon appears (start "kobex.bat TASKBAR"
// hidden, one hidden window, one icon), and on a double-click one synchronous
// WinHTTP GET of /show? at the client's endpoint. It ends on WM_CLOSE, removing
// its icon.
#include <windows.h>
#include <shellapi.h>
#include <winhttp.h>

#include "control/client_commands.h"

namespace {

constexpr UINT kCallback = WM_APP + 1;
NOTIFYICONDATAA icon;

void GetShow() {
  HINTERNET session = WinHttpOpen(L"baseline", WINHTTP_ACCESS_TYPE_NO_PROXY, nullptr, nullptr, 0);
  HINTERNET connection = session ? WinHttpConnect(session, L"127.0.0.1", kobex::kClientPort, 0) : nullptr;
  HINTERNET request =
      connection ? WinHttpOpenRequest(connection, L"GET", L"/show?", nullptr, nullptr, nullptr, 0) : nullptr;
  if (request && WinHttpSendRequest(request, nullptr, 0, nullptr, 0, 0, 0)) WinHttpReceiveResponse(request, nullptr);
  if (request) WinHttpCloseHandle(request);
  if (connection) WinHttpCloseHandle(connection);
  if (session) WinHttpCloseHandle(session);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kCallback && LOWORD(lParam) == WM_LBUTTONDBLCLK) GetShow();
  if (message == WM_CLOSE) {
    Shell_NotifyIconA(NIM_DELETE, &icon);
    DestroyWindow(hwnd);
    return 0;
  }
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

// The client's launch script, hidden and not waited for, as the launcher starts it.
void StartClient() {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  char line[] = "kobex.bat TASKBAR";
  if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    ExitProcess(2);  // a baseline that skipped the work would measure nothing
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  StartClient();
  WNDCLASSA wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = "BaselineTray";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowA("BaselineTray", "Baseline tray", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                            nullptr, instance, nullptr);
  icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
  icon.hWnd = hwnd;
  icon.uID = 1;
  icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  icon.uCallbackMessage = kCallback;
  icon.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  lstrcpyA(icon.szTip, "Baseline");
  Shell_NotifyIconA(NIM_ADD, &icon);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
