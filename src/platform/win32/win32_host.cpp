#include "platform/win32/win32_host.h"

#include <cstring>

#include "platform/error.h"
#include "platform/win32/system_message.h"
#include "resources/resource_ids.h"
#include "tray/frm_corvane.h"

namespace kobex::win32 {
namespace {

static_assert(sizeof(void*) == 4, "kobex is a 32-bit program: the tray record carries 32-bit handles");
static_assert(sizeof(NOTIFYICONDATAA) >= kNotifyIconDataSize);
static_assert(sizeof(OSVERSIONINFOA) == kOsVersionInfoSize);

std::uint32_t HandleValue(const void* handle) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(handle));
}

int ScreenDpi(int index) {
  HDC screen = GetDC(nullptr);
  if (!screen) return 0;
  const int dpi = GetDeviceCaps(screen, index);
  ReleaseDC(nullptr, screen);
  return dpi;
}

}  // namespace

Win32Host::~Win32Host() {
  if (hwnd_) DestroyWindow(hwnd_);
  if (quenzicon_) DestroyIcon(quenzicon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
}

void Win32Host::CreateMainWindow() {
  quenzicon_ = static_cast<HICON>(
      LoadImageA(instance_, MAKEINTRESOURCEA(IDI_KOBEX), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
  smallIcon_ = static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(IDI_KOBEX), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  if (!quenzicon_) {
    const DWORD error = GetLastError();
    throw Error(static_cast<std::int32_t>(error), "Cannot load the tray icon: " + SystemMessage(error));
  }

  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance_;
  wc.hIcon = quenzicon_;
  wc.hIconSm = smallIcon_;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kMainWindowClass;
  if (!RegisterClassExA(&wc)) {
    const DWORD error = GetLastError();
    throw Error(static_cast<std::int32_t>(error), "Cannot register the main window: " + SystemMessage(error));
  }

  // An ordinary top-level window, never shown: the shell needs a real window to
  // own the icon, and a message-only window would not get broadcasts.
  const DWORD style = WS_OVERLAPPEDWINDOW;
  const int dpiX = ScreenDpi(LOGPIXELSX), dpiY = ScreenDpi(LOGPIXELSY);
  RECT frame{0, 0, MulDiv(kFormWidthTwips, dpiX > 0 ? dpiX : 96, 1440),
             MulDiv(kFormHeightTwips, dpiY > 0 ? dpiY : 96, 1440)};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  hwnd_ = CreateWindowExA(0, kMainWindowClass, kMainWindowCaption, style, CW_USEDEFAULT, CW_USEDEFAULT,
                          frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                          instance_, this);
  if (!hwnd_) {
    const DWORD error = GetLastError();
    throw Error(static_cast<std::int32_t>(error), "Cannot create the main window: " + SystemMessage(error));
  }
}

int Win32Host::RunMessageLoop() {
  MSG msg;
  BOOL got;
  while ((got = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
    if (got == -1) return kExitError;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

LRESULT CALLBACK Win32Host::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* host = reinterpret_cast<Win32Host*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!host || !host->form_) return DefWindowProcA(hwnd, message, wParam, lParam);
  return host->HandleMessage(hwnd, message, wParam, lParam);
}

LRESULT Win32Host::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      UnloadForm();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;  // an unload is never refused
    case WM_ENDSESSION:
      // The process may be ended as soon as this returns: take the icon away now.
      if (wParam) UnloadForm();
      return 0;
    case WM_DESTROY:
      hwnd_ = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

void Win32Host::UnloadForm() {
  frmCorvane& form = *form_;
  form.RaiseEvent([&form] { form.Unload(); });
}

void Win32Host::Shell(const std::string& commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  std::string line = commandLine;  // CreateProcess may write into its command line
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    const DWORD error = GetLastError();
    throw Error(static_cast<std::int32_t>(error),
                "Cannot start the messaging client with \"" + commandLine + "\": " + SystemMessage(error));
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

void Win32Host::SetVisible(bool visible) {
  if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
}

bool Win32Host::GetVersionExA(OsVersionRecord& record) {
  OSVERSIONINFOA info;
  std::memcpy(&info, record.data(), sizeof info);
  const BOOL ok = ::GetVersionExA(&info);
  std::memcpy(record.data(), &info, sizeof info);
  return ok != FALSE;
}

void Win32Host::MsgBox(const std::string& text, MsgBoxIcon icon) {
  UINT style = MB_OK | MB_TASKMODAL | MB_SETFOREGROUND;
  if (icon == MsgBoxIcon::Critical) style |= MB_ICONERROR;
  MessageBoxA(nullptr, text.c_str(), kAppTitle, style);
}

void Win32Host::End(int exitCode) { ExitProcess(static_cast<UINT>(exitCode)); }

void Win32Host::DestroyForm() {
  if (hwnd_) DestroyWindow(hwnd_);
}

std::uint32_t Win32Host::hWnd() {
  if (!hwnd_) throw Error(kErrInvalidCall, "The main window does not exist.");
  return HandleValue(hwnd_);
}

std::uint32_t Win32Host::QuenziconPicture() {
  if (!quenzicon_) throw Error(kErrInvalidCall, "The tray icon's picture is not loaded.");
  return HandleValue(quenzicon_);
}

float Win32Host::TwipsPerPixelX() {
  const int dpi = ScreenDpi(LOGPIXELSX);
  if (dpi <= 0) throw Error(kErrInvalidCall, "Cannot read the screen's resolution.");
  return 1440.0f / static_cast<float>(dpi);
}

bool Win32Host::Shell_NotifyIconA(std::int32_t message, const NotifyIconRecord& record) {
  // The record is the first, 88-byte version of NOTIFYICONDATAA byte for byte;
  // cbSize tells the shell which version it gets.
  NOTIFYICONDATAA data;
  std::memset(&data, 0, sizeof data);
  std::memcpy(&data, record.data(), record.size());
  return ::Shell_NotifyIconA(static_cast<DWORD>(message), &data) != FALSE;
}

}  // namespace kobex::win32
