// What the compiler's own runtime asks of Windows that Windows XP lacks.
//
// From GCC 13 on, libgcc's thread support is written for Windows Vista: its
// comparison of two threads imports GetThreadId, which XP's kernel32 lacks, and
// a program with that import does not load on XP at all. (Found by the import
// audit of a kobex.exe built with Debian 13's MinGW-w64; Debian 12's GCC 12
// imports nothing of the kind.) The runtime comes into kobex.exe because the
// library's exception code takes its lock (the linker's -y trace: eh_alloc.o
// refers to the runtime's mutex, whose object, gthr-win32.o, refers to
// GetThreadId). kobex compares no threads, but the
// import must go: the runtime's calls go through this slot instead, which asks
// the system's own GetThreadId where it has one, and XP's ntdll otherwise.
// Linked into kobex.exe itself, not a library, so that the linker finds the slot
// before the import library. (The thread-safe initialisation of static locals,
// which on GCC 13 and later needs Vista's condition variables, is switched off
// in CMakeLists.txt: every static local of kobex is made on its one thread.)
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
  // Looked up on every call, not kept in statics: the runtime may call from
  // any thread, and statics are not guarded here (see above).
  // (kernel32 and ntdll are in every process.)
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
