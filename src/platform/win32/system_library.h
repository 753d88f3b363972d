// DLLs loaded by full path from the system folder when first used, not
// imported: an imported one is looked for beside the program first, where
// anyone could have put their own, and loads before the icon shows.
#pragma once

#include <windows.h>

namespace kobex::win32 {

// Later DLL loads search the system folder only, never the working folder,
// where Windows can restrict it (XP SP1 on, fully from 8 or 7 with KB2533623).
void RestrictDllSearch();

// The DLL `name` from the system folder, or null (GetLastError says why).
HMODULE LoadSystemLibrary(const char* name);

// Points `function` at the export `name` of `module`; null when either is missing.
template <class F>
void Bind(HMODULE module, F& function, const char* name) {
  function = module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace kobex::win32
