#include "platform/win32/session_claim.h"

#include <windows.h>

namespace kobex::win32 {

bool ClaimSession() {
  // A named mutex in the session's own namespace ("Local\\", as on XP with Fast
  // User Switching): each signed-in user, and each remote session, has its
  // launcher. The handle stays open until the process ends, when the system
  // closes it and the name goes with the last launcher; a launcher that finds
  // the name taken ends at once, and its handle goes the same way. Whatever
  // holds the name in the session (another program too) keeps later launchers
  // from adding an icon: a risk taken, as the session is the user's own.
  static constexpr char kName[] = "Local\\Veltrano.Corvane.kobex";
  const HANDLE mutex = CreateMutexA(nullptr, FALSE, kName);
  const DWORD error = GetLastError();
  if (mutex != nullptr) return error != ERROR_ALREADY_EXISTS;
  // Refused: a launcher started with other rights (Run as administrator)
  // holds a name this one may not open (Windows' rule for objects an elevated
  // process makes; not tried under Wine), and it is the session's launcher all
  // the same. Any other refusal (the name taken by an object of another kind)
  // leaves the question open: one icon is a courtesy, and a launcher that
  // cannot ask still gives the user its icon rather than nothing to click.
  return error != ERROR_ACCESS_DENIED;
}

}  // namespace kobex::win32
