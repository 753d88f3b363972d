// kobex.exe: loads the main form, whose load event is the whole start-up, and
// runs the host's message loop until the form is unloaded.
#include <windows.h>

#include "platform/win32/win32_host.h"
#include "platform/win32/winhttp_web_control.h"
#include "tray/frm_corvane.h"

namespace {

// DLLs loaded from here on come from the system folder only: never from the
// working folder, where a launcher started from a download folder could find
// a planted one. Both functions are looked up, not imported: the first came
// with XP SP1, the second with Windows 8 (or 7 with KB2533623), and without
// them the search order is the system's own.
void RestrictDllSearch() {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
  if (const auto setDirectory = reinterpret_cast<SetDllDirectoryFn>(
          reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryA")))) {
    setDirectory("");
  }
  if (const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
          reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))) {
    setDefault(kSearchSystem32);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
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
