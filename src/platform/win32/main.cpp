// kobex.exe: puts the Windows layer's pieces together behind the interfaces the
// core calls, loads the main form, whose load event is the whole start-up, and
// runs the message loop until the form is unloaded. The one file of the layer
// that knows the core's forms.
#include <windows.h>

#include "control/client_commands.h"
#include "platform/host.h"
#include "platform/win32/about_dialog.h"
#include "platform/win32/main_window.h"
#include "platform/win32/shell_icon.h"
#include "platform/win32/startup_calls.h"
#include "platform/win32/tray_popup.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/winhttp_web_control.h"
#include "tray/frm_corvane.h"

namespace kobex::win32 {
namespace {

// DLLs loaded from here on come from the system folder only: never from the
// working folder, where a launcher started from a download folder could find
// a planted one. Both functions are looked up, not imported: the first came
// with XP SP1, the second with Windows 8 (or 7 with KB2533623). Where either
// is missing or refuses, the system's own search order stays, as on the
// systems that have neither: so their answers are not examined.
void RestrictDllSearch() {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
  if (!kernel) return;
  if (const auto setDirectory = reinterpret_cast<SetDllDirectoryFn>(
          reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryA")))) {
    (void)setDirectory("");
  }
  if (const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
          reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))) {
    (void)setDefault(kSearchSystem32);
  }
}

// The windowing host the forms see: each of its operations is one of the
// layer's pieces.
class Win32Host final : public Host {
 public:
  Win32Host(HINSTANCE instance, EventBoundary& boundary)
      : icon(instance), window(instance), popup(instance), about(instance, boundary) {}

  ShellIcon icon;
  MainWindow window;
  TrayPopup popup;
  AboutDialog about;

  void Shell(const std::string& commandLine) override { StartHidden(commandLine); }
  void SetVisible(bool visible) override { window.SetVisible(visible); }
  bool GetVersionExA(OsVersionRecord& record) override { return QueryVersion(record); }
  bool ClaimSession() override { return win32::ClaimSession(); }
  void MsgBox(const std::string& text, MsgBoxIcon kind) override { ShowMessage(text, kind); }
  void End(int exitCode) override { EndNow(exitCode); }
  void DestroyForm() override { window.Destroy(); }
  void SetTrayIconTimer(std::uint32_t intervalMs) override { window.SetTrayIconTimer(intervalMs); }
  std::uint32_t hWnd() override {
    if (!window.handle()) ThrowProgramError("The main window does not exist.");
    return HandleValue(window.handle());
  }
  std::uint32_t QuenziconPicture() override { return HandleValue(icon.Picture()); }
  float TwipsPerPixelX() override { return window.TwipsPerPixelX(); }
  float TwipsPerPixelY() override { return window.TwipsPerPixelY(); }
  std::optional<std::size_t> PopupMenu(const std::vector<MenuEntry>& entries, std::size_t defaultItem) override {
    return popup.Show(window.handle(), icon, entries, defaultItem);
  }
  void ShowAboutModal(const AboutWindow& design, AboutEvents& events) override { about.ShowModal(design, events); }
  void CloseAbout() override { about.Close(); }
  void ActivateAbout() override { about.Activate(); }

 private:
  static std::uint32_t HandleValue(const void* handle) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(handle));
  }
};

// webControl as the forms see it: the requests go over WinHTTP, and the one
// that asks the client to show its window first lets it take the foreground.
class ClientControl final : public WebControl {
 public:
  explicit ClientControl(WebControl& http) : http_(http) {}
  void Get(std::string_view path) override {
    // Only a process that got the last input may hand the foreground on
    // (Microsoft's AllowSetForegroundWindow page), and kobex got the click; any
    // process, as cmd started the client. A refusal is not examined: the
    // client's taskbar button then flashes, as it would without this.
    if (path == RequestPath(ClientCommand::Show)) (void)AllowSetForegroundWindow(ASFW_ANY);
    http_.Get(path);
  }

 private:
  WebControl& http_;
};

// Hands the form's events on to the form, once it exists.
class FormBoundary final : public EventBoundary {
 public:
  frmCorvane* form = nullptr;
  void RaiseEvent(EventRef event) noexcept override {
    if (form) form->RaiseEvent(event);
  }
};

}  // namespace
}  // namespace kobex::win32

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
  using namespace kobex;
  win32::RestrictDllSearch();
  win32::FormBoundary boundary;
  win32::Win32Host host(instance, boundary);
  win32::WinHttpWebControl http(kClientHost, kClientPort);
  win32::ClientControl webControl(http);
  frmCorvane form(host, host.icon, webControl);
  boundary.form = &form;
  host.window.Attach(&form);
  form.RaiseEvent([&] {
    (void)host.icon.Picture();  // a program without its icon's picture fails before it starts the client
    host.popup.Register();
    host.window.Create();
    form.Form_Load();
  });
  const int exitCode = host.window.RunMessageLoop();
  // The form goes first on the way out: nothing may reach it from here on.
  host.window.Attach(nullptr);
  boundary.form = nullptr;
  return exitCode;
}
