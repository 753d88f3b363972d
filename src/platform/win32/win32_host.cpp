#include "platform/win32/win32_host.h"

#include <windowsx.h>

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

// The host's button and shift states of a mouse event, from its key flags.
std::int16_t ButtonState(WPARAM keys) {
  return static_cast<std::int16_t>(((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) |
                                   ((keys & MK_MBUTTON) ? 4 : 0));
}

std::int16_t ShiftState(WPARAM keys) {
  return static_cast<std::int16_t>(((keys & MK_SHIFT) ? 1 : 0) | ((keys & MK_CONTROL) ? 2 : 0) |
                                   ((GetKeyState(VK_MENU) < 0) ? 4 : 0));
}

// The window that owns an open tray menu: one pixel at the pointer, under the
// menu's corner, shown without activation and then made foreground. The menu
// reads its keys from the queue of the thread whose window has the keyboard;
// under X11 (Wine) that is the window with the X input focus, which a window
// manager gives only to a window it can see, never to the hidden main window.
class MenuOwner {
 public:
  MenuOwner(HINSTANCE instance, HWND mainWindow, POINT at)
      : window_(CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kMenuOwnerClass, "", WS_POPUP, at.x, at.y, 1,
                                1, mainWindow, nullptr, instance, nullptr)) {
    if (window_) ShowWindow(window_.get(), SW_SHOWNOACTIVATE);
  }
  // Without it (no window could be made) the main window owns the menu, which
  // still works everywhere but for the keys under an X11 window manager.
  HWND get(HWND fallback) const { return window_ ? window_.get() : fallback; }

 private:
  OwnedWindow window_;
};

[[noreturn]] void MenuFailed(DWORD error = GetLastError()) {
  throw Error(static_cast<std::int32_t>(error), "Cannot build the tray menu: " + SystemMessage(error));
}

// Sent by Windows 8.1 and later when the screen's resolution changes; older
// headers do not name it.
constexpr UINT kDpiChanged = 0x02E0;  // WM_DPICHANGED

// 1440 twips make an inch: twips per pixel for a resolution in dots per inch.
float TwipsPerPixel(int dpi) {
  if (dpi <= 0) throw Error(kErrInvalidCall, "Cannot read the screen's resolution.");
  return 1440.0f / static_cast<float>(dpi);
}

}  // namespace

Win32Host::~Win32Host() {
  form_ = nullptr;  // whatever destroying the window sends, no form is there to get it
  if (hwnd_) DestroyWindow(hwnd_);
}

void Win32Host::CreateMainWindow() {
  quenzicon_.reset(static_cast<HICON>(
      LoadImageA(instance_, MAKEINTRESOURCEA(IDI_KOBEX), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR)));
  smallIcon_.reset(static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(IDI_KOBEX), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
  if (!quenzicon_) {
    const DWORD error = GetLastError();
    throw Error(static_cast<std::int32_t>(error), "Cannot load the tray icon: " + SystemMessage(error));
  }

  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance_;
  wc.hIcon = quenzicon_.get();
  wc.hIconSm = smallIcon_.get();
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kMainWindowClass;
  if (!RegisterClassExA(&wc)) {
    const DWORD error = GetLastError();
    throw Error(static_cast<std::int32_t>(error), "Cannot register the main window: " + SystemMessage(error));
  }

  WNDCLASSEXA owner{};
  owner.cbSize = sizeof owner;
  owner.lpfnWndProc = DefWindowProcA;
  owner.hInstance = instance_;
  owner.lpszClassName = kMenuOwnerClass;
  if (!RegisterClassExA(&owner)) {
    const DWORD error = GetLastError();
    throw Error(static_cast<std::int32_t>(error), "Cannot register the menu's window: " + SystemMessage(error));
  }

  taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
  // An ordinary top-level window, never shown: the shell needs a real window to
  // own the icon, and a message-only window would not get broadcasts.
  const DWORD style = WS_OVERLAPPEDWINDOW;
  ReadScreenDpi();
  RECT frame{0, 0, MulDiv(kFormWidthTwips, dpiX_ > 0 ? dpiX_ : 96, 1440),
             MulDiv(kFormHeightTwips, dpiY_ > 0 ? dpiY_ : 96, 1440)};
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
    if (got == -1) {
      // No message can be had any more: handled like an error in an event
      // (message, icon removed, program ended).
      const DWORD error = GetLastError();
      Raise([error] {
        throw Error(static_cast<std::int32_t>(error), "Cannot read the next window message: " + SystemMessage(error));
      });
      return kExitError;
    }
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
  if (message == taskbarCreated_ && taskbarCreated_ != 0) {
    frmCorvane& form = *form_;
    Raise([&form] { form.Shell_TaskbarCreated(); });
    return 0;
  }
  switch (message) {
    case WM_MOUSEMOVE: {
      // The tray icon's callback: the mouse message code arrives as the
      // pointer's X, which the host reports in twips.
      const int x = GET_X_LPARAM(lParam);
      const int y = GET_Y_LPARAM(lParam);
      frmCorvane& form = *form_;
      Raise([&] {
        form.Form_MouseMove(ButtonState(wParam), ShiftState(wParam), static_cast<float>(x) * TwipsPerPixelX(),
                            static_cast<float>(y) * TwipsPerPixelY());
      });
      return 0;
    }
    case WM_DISPLAYCHANGE:
    case WM_SETTINGCHANGE:
    case kDpiChanged:
      // The screen's resolution is read when it may have changed, not on every
      // mouse event: a screen device context costs more than the request it precedes.
      ReadScreenDpi();
      return DefWindowProcA(hwnd, message, wParam, lParam);
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
  Raise([&form] { form.Unload(); });
}

void Win32Host::Raise(EventRef event) noexcept {
  if (form_) form_->RaiseEvent(event);
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
  return HandleValue(quenzicon_.get());
}

float Win32Host::TwipsPerPixelX() { return TwipsPerPixel(dpiX_); }

float Win32Host::TwipsPerPixelY() { return TwipsPerPixel(dpiY_); }

// Both axes from one screen device context; 0 when it cannot be had.
void Win32Host::ReadScreenDpi() {
  dpiX_ = dpiY_ = 0;
  HDC screen = GetDC(nullptr);
  if (!screen) return;
  dpiX_ = GetDeviceCaps(screen, LOGPIXELSX);
  dpiY_ = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
}

std::optional<std::size_t> Win32Host::PopupMenu(const std::vector<MenuEntry>& entries, std::size_t defaultItem) {
  const OwnedMenu popup(CreatePopupMenu());
  if (!popup.get()) MenuFailed();
  // menus[level] receives the items of that level: the popup for level 1, the
  // latest submenu for the level below it. Item ids are table indices + 1.
  std::vector<HMENU> menus{nullptr, popup.get()};
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const MenuEntry& e = entries[i];
    if (e.kind == MenuKind::Root) continue;
    if (e.level < 1 || static_cast<std::size_t>(e.level) >= menus.size()) MenuFailed(ERROR_INVALID_DATA);
    HMENU parent = menus[e.level];
    const std::string caption(e.caption);
    BOOL added = FALSE;
    switch (e.kind) {
      case MenuKind::Separator:
        added = AppendMenuA(parent, MF_SEPARATOR, 0, nullptr);
        break;
      case MenuKind::Submenu: {
        HMENU submenu = CreatePopupMenu();
        if (!submenu) MenuFailed();
        added = AppendMenuA(parent, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), caption.c_str());
        if (!added) {
          const DWORD error = GetLastError();  // before DestroyMenu can change it
          DestroyMenu(submenu);
          MenuFailed(error);
        }
        menus.resize(e.level + 1);
        menus.push_back(submenu);
        break;
      }
      default:
        added = AppendMenuA(parent, MF_STRING, static_cast<UINT_PTR>(i + 1), caption.c_str());
        break;
    }
    if (!added) MenuFailed();
  }
  SetMenuDefaultItem(popup.get(), static_cast<UINT>(defaultItem + 1), FALSE);

  // The shell sends the icon's callback and waits for it: let it go on now, so
  // that its handling of the click is over before the menu takes the mouse.
  if (InSendMessage()) ReplyMessage(0);
  POINT at{};
  GetCursorPos(&at);
  // The owner must be the foreground window, or the menu would not close when
  // the user clicks elsewhere; the null message afterwards lets it close at once.
  const MenuOwner owner(instance_, hwnd_, at);
  const HWND menuOwner = owner.get(hwnd_);
  // Wine asks the X server for the input focus with the time of the thread's
  // latest message, and X refuses a request older than the window manager's
  // own last focus change (the click on the tray): a fresh message first.
  MSG fresh;
  if (PostMessageA(menuOwner, WM_NULL, 0, 0)) {
    PeekMessageA(&fresh, menuOwner, WM_NULL, WM_NULL, PM_REMOVE);
  }
  SetForegroundWindow(menuOwner);
  const UINT chosen = static_cast<UINT>(TrackPopupMenuEx(
      popup.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y,
      menuOwner, nullptr));
  PostMessageA(menuOwner, WM_NULL, 0, 0);
  // Zero: dismissed, or no menu because one is already open; either way, no choice.
  if (chosen == 0 || chosen > entries.size()) return std::nullopt;
  return chosen - 1;
}

void Win32Host::ShowAboutModal(const AboutWindow& design, AboutEvents& events) {
  about_.ShowModal(design, events);
}

void Win32Host::CloseAbout() { about_.Close(); }

void Win32Host::ActivateAbout() { about_.Activate(); }

bool Win32Host::Shell_NotifyIconA(std::int32_t message, const NotifyIconRecord& record) {
  // The record is the first, 88-byte version of NOTIFYICONDATAA byte for byte;
  // cbSize tells the shell which version it gets.
  NOTIFYICONDATAA data;
  std::memset(&data, 0, sizeof data);
  std::memcpy(&data, record.data(), record.size());
  return ::Shell_NotifyIconA(static_cast<DWORD>(message), &data) != FALSE;
}

}  // namespace kobex::win32
