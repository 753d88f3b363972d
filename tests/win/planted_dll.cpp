// A winhttp.dll planted beside the program or in its working folder: loaded, it leaves a file
// "planted-dll-loaded.txt" beside itself.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
  while (length > 0 && path[0] && path[lstrlenA(path) - 1] != '\\') path[lstrlenA(path) - 1] = 0;
  lstrcatA(path, "planted-dll-loaded.txt");
  HANDLE marker = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
  return TRUE;
}
