#include "platform/win32/session_claim.h"

#include <windows.h>

namespace kobex::win32 {

bool ClaimSession() {
  // A mutex in the session's namespace, held until the process ends: each user and remote session has
  // its launcher. Another program holding the name would keep the icon away, in the user's own session.
  static constexpr char kName[] = "Local\\Veltrano.Corvane.kobex";
  const HANDLE mutex = CreateMutexA(nullptr, FALSE, kName);
  const DWORD error = GetLastError();
  if (mutex != nullptr) return error != ERROR_ALREADY_EXISTS;
  // Access denied: an elevated launcher holds it (not tried under Wine). Any
  // other refusal leaves the question open, and an icon beats none.
  return error != ERROR_ACCESS_DENIED;
}

}  // namespace kobex::win32
