#include "platform/win32/system_library.h"

namespace kobex::win32 {

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
