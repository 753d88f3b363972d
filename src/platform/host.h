// What the forms need from the windowing host and the system. The Win32
// implementation lives in platform/win32; the tests bring fakes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/about_host.h"
#include "platform/menu.h"
#include "platform/records.h"

namespace kobex {

enum class MsgBoxIcon { None, Critical };

inline constexpr char kAppTitle[] = "kobex";

// Exit codes: 0 after an unload, these when the program ends otherwise.
inline constexpr int kExitAnotherRuns = 0;  // a launcher of this session already has the icon: not a failure
inline constexpr int kExitRefused = 1;
inline constexpr int kExitError = 2;

class Host {
 public:
  virtual ~Host() = default;

  // Starts a command line with its window hidden, not waited for. Throws Error.
  virtual void Shell(const std::string& commandLine) = 0;

  virtual void SetVisible(bool visible) = 0;

  // GetVersionExA on a caller-prepared record; the system's answer as is.
  virtual bool GetVersionExA(OsVersionRecord& record) = 0;

  // Claims the session for this launcher while it lives; false when another has.
  virtual bool ClaimSession() = 0;

  // A message box with an OK button only, titled with the program's own title.
  virtual void MsgBox(const std::string& text, MsgBoxIcon icon) = 0;

  // Ends the process at once; no unload event runs. May return in a test host.
  virtual void End(int exitCode) = 0;

  // Destroys the main form's window after its unload: the process then ends.
  virtual void DestroyForm() = 0;

  // Raises tmrTrayIcon_Timer every `intervalMs` until the form goes; 0 stops it. Throws Error.
  virtual void SetTrayIconTimer(std::uint32_t intervalMs) = 0;

  // The main form's window and quenzicon's picture, as 32-bit handles. Throw Error.
  virtual std::uint32_t hWnd() = 0;
  virtual std::uint32_t QuenziconPicture() = 0;

  // Screen.TwipsPerPixelX and Y: twips in one pixel of the screen.
  virtual float TwipsPerPixelX() = 0;
  virtual float TwipsPerPixelY() = 0;

  // Pops up the menu beside the icon, `defaultItem` in bold: the chosen entry's
  // index, or nothing when dismissed. Throws Error.
  virtual std::optional<std::size_t> PopupMenu(const std::vector<MenuEntry>& entries,
                                               std::size_t defaultItem) = 0;

  // Shows the About box modally until CloseAbout. Throws Error.
  virtual void ShowAboutModal(const AboutWindow& design, AboutEvents& events) = 0;
  virtual void CloseAbout() = 0;
  // Brings the open About box to the front.
  virtual void ActivateAbout() = 0;
};

// The shell's notification area: Shell_NotifyIconA with the 88-byte record.
class NotifyArea {
 public:
  virtual ~NotifyArea() = default;
  virtual bool Shell_NotifyIconA(std::int32_t message, const NotifyIconRecord& record) = 0;
};

}  // namespace kobex
