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

// The title of the program's message boxes.
inline constexpr char kAppTitle[] = "kobex";

// Exit codes: 0 after an unload, these when the program ends otherwise.
inline constexpr int kExitAnotherRuns = 0;  // a launcher of this session already has the icon: not a failure
inline constexpr int kExitRefused = 1;
inline constexpr int kExitError = 2;

class Host {
 public:
  virtual ~Host() = default;

  // Starts a command line with its window hidden and does not wait for it.
  // Throws Error when the process cannot be started.
  virtual void Shell(const std::string& commandLine) = 0;

  // Shows or hides the main form's window.
  virtual void SetVisible(bool visible) = 0;

  // GetVersionExA on a caller-prepared record; the system's answer is returned as is.
  virtual bool GetVersionExA(OsVersionRecord& record) = 0;

  // Marks this launcher as the one of the user's session, for as long as the
  // process lives; false when another launcher of the session already is.
  virtual bool ClaimSession() = 0;

  // A message box with an OK button only, titled with the program's own title.
  virtual void MsgBox(const std::string& text, MsgBoxIcon icon) = 0;

  // Ends the process at once; no unload event runs. May return in a test host.
  virtual void End(int exitCode) = 0;

  // Destroys the main form's window after its unload event has run; with no
  // form left, the process ends when control returns to the host.
  virtual void DestroyForm() = 0;

  // Starts the form's tray-icon timer, which raises tmrTrayIcon_Timer every
  // `intervalMs` until it is stopped; 0 stops it. The timer dies with the form.
  // Throws Error when it cannot be started.
  virtual void SetTrayIconTimer(std::uint32_t intervalMs) = 0;

  // The main form's window handle and the handle of quenzicon's picture, as
  // 32-bit values. Throw Error when they cannot be read.
  virtual std::uint32_t hWnd() = 0;
  virtual std::uint32_t QuenziconPicture() = 0;

  // Screen.TwipsPerPixelX and Y: twips in one pixel of the screen.
  virtual float TwipsPerPixelX() = 0;
  virtual float TwipsPerPixelY() = 0;

  // Pops up a menu at the pointer, left edge at the pointer, items chosen with
  // the left button, `defaultItem` in bold. Returns the index of the chosen
  // entry, or nothing when the menu was dismissed. Throws Error when it cannot.
  virtual std::optional<std::size_t> PopupMenu(const std::vector<MenuEntry>& entries,
                                               std::size_t defaultItem) = 0;

  // Shows the About box modally, without an owner; returns when it has been
  // closed through CloseAbout. Throws Error when it cannot be shown.
  virtual void ShowAboutModal(const AboutWindow& design, AboutEvents& events) = 0;
  virtual void CloseAbout() = 0;
  // Brings the open About box to the front.
  virtual void ActivateAbout() = 0;
};

// The shell's notification area: Shell_NotifyIconA with the action code
// widened to 32 bits and the 88-byte record.
class NotifyArea {
 public:
  virtual ~NotifyArea() = default;
  virtual bool Shell_NotifyIconA(std::int32_t message, const NotifyIconRecord& record) = 0;
};

}  // namespace kobex
