#include "platform/win32/system_library.h"

namespace kobex::win32 {

// Neither answer is examined: where a call is missing or refuses, the search
// order stays as on the systems that have neither.
void RestrictDllSearch() {
  const HMODULE kernel = GetModuleHandleA("kernel32.dll");
  BOOL(WINAPI * setDirectory)(LPCSTR) = nullptr;
  BOOL(WINAPI * setDefault)(DWORD) = nullptr;
  constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
  Bind(kernel, setDirectory, "SetDllDirectoryA");
  Bind(kernel, setDefault, "SetDefaultDllDirectories");
  if (setDirectory) (void)setDirectory("");
  if (setDefault) (void)setDefault(kSearchSystem32);
}

HMODULE LoadSystemLibrary(const char* name) {
  char path[MAX_PATH + 1] = {};
  const UINT length = GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length + 1 + lstrlenA(name) >= MAX_PATH) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return nullptr;
  }
  lstrcatA(path, "\\");
  lstrcatA(path, name);
  return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace kobex::win32
