#include "platform/win32/main_window.h"

#include <windowsx.h>

#include "platform/host.h"
#include "platform/win32/picture.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_error.h"
#include "resources/resource_ids.h"

namespace kobex::win32 {
namespace {

constexpr char kWindowClass[] = "kobexTrayLauncher";
// The form's client area, in twips.
constexpr int kFormWidthTwips = 4470;
constexpr int kFormHeightTwips = 2505;

constexpr UINT_PTR kTrayIconTimer = 1;  // the form's one timer

// Lets the shell's "TaskbarCreated" reach `window` when the launcher runs with
// higher rights than the shell (started as administrator): UIPI drops messages
// above WM_USER from a lower process (Microsoft's ChangeWindowMessageFilterEx
// page). Windows 7 filters by window, Vista by process, XP not at all. A
// refusal is not examined: it costs only a restarted shell's icon, elevated.
void AllowTaskbarCreated(HWND window, UINT message) {
  if (message == 0) return;
  const HMODULE user32 = GetModuleHandleA("user32.dll");
  BOOL(WINAPI * byWindow)(HWND, UINT, DWORD, void*) = nullptr;
  BOOL(WINAPI * byProcess)(UINT, DWORD) = nullptr;
  Bind(user32, byWindow, "ChangeWindowMessageFilterEx");
  Bind(user32, byProcess, "ChangeWindowMessageFilter");
  constexpr DWORD kAllow = 1;  // MSGFLT_ALLOW, and Vista's MSGFLT_ADD
  if (byWindow) {
    (void)byWindow(window, message, kAllow, nullptr);
  } else if (byProcess) {
    (void)byProcess(message, kAllow);
  }
}

// 1440 twips make an inch: twips per pixel for a resolution in dots per inch.
float TwipsPerPixel(int dpi) {
  if (dpi <= 0) ThrowProgramError("Cannot read the screen's resolution.");
  return 1440.0f / static_cast<float>(dpi);
}

}  // namespace

MainWindow::~MainWindow() {
  form_ = nullptr;  // whatever destroying the window sends, no form is there to get it
  Destroy();
}

void MainWindow::Create() {
  icon_.reset(LoadIconAt(instance_, IDI_KOBEX, SIZE{32, 32}));
  if (!icon_) ThrowLastError("Cannot load the program's icon");
  // The title bar's small picture; without it (a null one) Windows shrinks the large one.
  smallIcon_.reset(LoadIconAt(instance_, IDI_KOBEX, SystemIconSize(IconSize::Small)));
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance_;
  wc.hIcon = icon_.get();
  wc.hIconSm = smallIcon_.get();
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));  // the system's own: a null one is harmless
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kWindowClass;
  if (!RegisterClassExA(&wc)) ThrowLastError("Cannot register the main window");

  // 0 when it cannot be had: then only a restarted shell goes unnoticed.
  taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
  // An ordinary top-level window, never shown: the shell needs a real window to
  // own the icon, and a message-only window would not get broadcasts.
  const DWORD style = WS_OVERLAPPEDWINDOW;
  ReadScreenDpi();
  RECT frame{0, 0, MulDiv(kFormWidthTwips, dpiX_ > 0 ? dpiX_ : 96, 1440),
             MulDiv(kFormHeightTwips, dpiY_ > 0 ? dpiY_ : 96, 1440)};
  if (!AdjustWindowRectEx(&frame, style, FALSE, 0)) ThrowLastError("Cannot size the main window");
  hwnd_ = CreateWindowExA(0, kWindowClass, kMainWindowCaption, style, CW_USEDEFAULT, CW_USEDEFAULT,
                          frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance_, this);
  if (!hwnd_) ThrowLastError("Cannot create the main window");
  AllowTaskbarCreated(hwnd_, taskbarCreated_);
}

int MainWindow::RunMessageLoop() {
  MSG msg;
  BOOL got;
  while ((got = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
    if (got == -1) {
      // No message can be had any more: an error, as in an event.
      const DWORD error = GetLastError();
      if (form_) form_->RaiseEvent([error] { ThrowWin32Error("Cannot read the next window message", error); });
      return kExitError;
    }
    // Whether a character was made, and the procedure's answer, are not ours.
    (void)TranslateMessage(&msg);
    (void)DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void MainWindow::SetVisible(bool visible) {
  // ShowWindow answers whether the window was visible before, not whether it worked.
  if (hwnd_) (void)ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE);
}

void MainWindow::SetTrayIconTimer(UINT intervalMs) {
  if (!hwnd_) return;  // the timer went with the window
  if (intervalMs == 0) {
    // Fails only for a timer that is not running, which is what was asked.
    (void)KillTimer(hwnd_, kTrayIconTimer);
  } else if (!SetTimer(hwnd_, kTrayIconTimer, intervalMs, nullptr)) {
    ThrowLastError("Cannot start the tray icon's timer");
  }
}

void MainWindow::Destroy() {
  // Only a window of another thread, or one already gone, refuses: neither is ours.
  if (hwnd_) (void)DestroyWindow(hwnd_);
}

float MainWindow::TwipsPerPixelX() const { return TwipsPerPixel(dpiX_); }

float MainWindow::TwipsPerPixelY() const { return TwipsPerPixel(dpiY_); }

// 0 when no screen device context can be had: the next twips reading fails.
void MainWindow::ReadScreenDpi() {
  dpiX_ = dpiY_ = 0;
  HDC screen = GetDC(nullptr);
  if (!screen) return;
  dpiX_ = GetDeviceCaps(screen, LOGPIXELSX);
  dpiY_ = GetDeviceCaps(screen, LOGPIXELSY);
  (void)ReleaseDC(nullptr, screen);  // a screen DC from GetDC always goes back
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    // Returns the previous value, 0 here: nothing to check.
    (void)SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* window = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!window || !window->form_) return DefWindowProcA(hwnd, message, wParam, lParam);
  return window->HandleMessage(hwnd, message, wParam, lParam);
}

// The form's events, decoded from the window's messages. Only RaiseEvent runs
// the form's code; nothing else here throws.
LRESULT MainWindow::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  FormEvents& form = *form_;
  if (message == taskbarCreated_ && taskbarCreated_ != 0) {
    form.RaiseEvent([&form] { form.Shell_TaskbarCreated(); });
    return 0;
  }
  if (IsDisplayChange(message)) {
    // Read only when it may have changed: a screen device context on every
    // click costs more than the request it precedes.
    ReadScreenDpi();
    form.RaiseEvent([&form] { form.Display_Changed(); });
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
  switch (message) {
    case WM_MOUSEMOVE: {
      // The icon's callback: the mouse message arrives as X, reported in twips.
      // wParam is the icon's id, not key flags: no button or shift states.
      const int x = GET_X_LPARAM(lParam);
      const int y = GET_Y_LPARAM(lParam);
      // The shell sends it and waits; what the form does next may take a
      // request's time or a menu's, so the shell is let go on now. (The answer
      // says only whether the message was a sent one.)
      if (InSendMessage()) (void)ReplyMessage(0);
      form.RaiseEvent([&] {
        form.Form_MouseMove(0, 0, static_cast<float>(x) * TwipsPerPixelX(), static_cast<float>(y) * TwipsPerPixelY());
      });
      return 0;
    }
    case WM_TIMER:
      if (wParam != kTrayIconTimer) return DefWindowProcA(hwnd, message, wParam, lParam);
      form.RaiseEvent([&form] { form.tmrTrayIcon_Timer(); });
      return 0;
    case WM_CLOSE:
      form.RaiseEvent([&form] { form.Unload(); });
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;  // an unload is never refused
    case WM_ENDSESSION:
      // The process may be ended as soon as this returns: take the icon away now.
      if (wParam) form.RaiseEvent([&form] { form.Unload(); });
      return 0;
    case WM_DESTROY:
      hwnd_ = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

}  // namespace kobex::win32
