// kobex.exe: puts the Windows layer's pieces together behind the interfaces the
// core calls, loads the main form, whose load event is the whole start-up, and
// runs the message loop until the form is unloaded.
#include <windows.h>

#include "control/client_commands.h"
#include "platform/win32/client_control.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_host.h"
#include "platform/win32/winhttp_web_control.h"
#include "tray/frm_corvane.h"

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
