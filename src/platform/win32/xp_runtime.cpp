// GCC 13's runtime (brought in by the library's exception code) imports GetThreadId, which XP's
// kernel32 lacks, so kobex.exe would not load there. Its calls go through this slot instead: the
// system's GetThreadId where it has one, else XP's ntdll. Linked into kobex.exe itself, so that the
// linker finds the slot before the import library.
#include <windows.h>

#include "platform/win32/system_library.h"

namespace {

// NtQueryInformationThread's ThreadBasicInformation, as every NT has it.
struct ThreadBasicInformation {
  LONG exitStatus;
  PVOID tebBaseAddress;
  HANDLE uniqueProcess;
  HANDLE uniqueThread;
  ULONG_PTR affinityMask;
  LONG priority;
  LONG basePriority;
};

DWORD WINAPI ThreadIdOnAnyWindows(HANDLE thread) {
  using GetThreadIdFn = DWORD(WINAPI*)(HANDLE);
  using QueryThreadFn = LONG(WINAPI*)(HANDLE, int, PVOID, ULONG, PULONG);
  // Looked up on every call: the runtime may call from any thread, and static
  // locals are unguarded in this program (CMakeLists.txt).
  GetThreadIdFn getThreadId = nullptr;
  kobex::win32::Bind(GetModuleHandleA("kernel32.dll"), getThreadId, "GetThreadId");
  if (getThreadId) return getThreadId(thread);
  QueryThreadFn queryThread = nullptr;
  kobex::win32::Bind(GetModuleHandleA("ntdll.dll"), queryThread, "NtQueryInformationThread");
  ThreadBasicInformation info{};
  if (!queryThread || queryThread(thread, 0, &info, sizeof info, nullptr) < 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;  // GetThreadId's own answer for a thread it cannot read
  }
  return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(info.uniqueThread));
}

}  // namespace

// The import slot of GetThreadId, by the name the runtime's code calls through.
extern "C" DWORD(WINAPI* const kobexGetThreadIdSlot)(HANDLE) __asm__("__imp__GetThreadId@4");
extern "C" DWORD(WINAPI* const kobexGetThreadIdSlot)(HANDLE) = ThreadIdOnAnyWindows;
