// kobex.exe: loads the main form, whose load event is the whole start-up, and
// runs the host's message loop until the form is unloaded.
#include <windows.h>

#include "platform/win32/win32_host.h"
#include "platform/win32/winhttp_web_control.h"
#include "tray/frm_corvane.h"

namespace {

// DLLs loaded from here on come from the system folder only: never from the
// working folder, where a launcher started from a download folder could find
// a planted one.
void RestrictDllSearch() {
  SetDllDirectoryA("");
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
  if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);  // Windows 8, or 7 with KB2533623
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  RestrictDllSearch();
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
