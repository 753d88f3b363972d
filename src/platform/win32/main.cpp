// kobex.exe: loads the main form, whose load event is the whole start-up, and
// runs the host's message loop until the form is unloaded.
#include <windows.h>

#include "platform/win32/win32_host.h"
#include "platform/win32/winhttp_web_control.h"
#include "tray/frm_corvane.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  kobex::win32::Win32Host host(instance);
  kobex::win32::WinHttpWebControl webControl;
  kobex::frmCorvane form(host, host, webControl);
  host.Attach(&form);
  form.RaiseEvent([&] {
    host.CreateMainWindow();
    form.Form_Load();
  });
  return host.RunMessageLoop();
}
