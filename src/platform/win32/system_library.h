// DLLs the program needs only for some of its work, loaded from the system
// folder by full path when first used rather than imported: an imported DLL is
// looked for beside the program first, where anyone could have put one of
// their own, and is loaded (with everything it needs) before the icon shows.
#pragma once

#include <windows.h>

namespace kobex::win32 {

// DLLs loaded from here on come from the system folder only, where Windows can
// restrict the search (XP SP1's SetDllDirectory, Windows 8's or 7 with KB2533623's
// SetDefaultDllDirectories); elsewhere the system's own search order stays.
void RestrictDllSearch();

// The DLL `name` from the system folder, or null (GetLastError says why).
HMODULE LoadSystemLibrary(const char* name);

// Points `function` at the export `name` of `module`; null when either is missing.
template <class F>
void Bind(HMODULE module, F& function, const char* name) {
  function = module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace kobex::win32
