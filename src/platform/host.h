// What the forms need from the windowing host and the system. The Win32
// implementation lives in platform/win32; the tests bring fakes.
#pragma once

#include <cstdint>
#include <string>

#include "platform/records.h"

namespace kobex {

enum class MsgBoxIcon { None, Critical };

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

  // A message box with an OK button only, titled with the program's own title.
  virtual void MsgBox(const std::string& text, MsgBoxIcon icon) = 0;

  // Ends the process at once; no unload event runs. May return in a test host.
  virtual void End(int exitCode) = 0;

  // Destroys the main form's window after its unload event has run; with no
  // form left, the process ends when control returns to the host.
  virtual void DestroyForm() = 0;

  // The main form's window handle and the handle of quenzicon's picture, as
  // 32-bit values. Throw Error when they cannot be read.
  virtual std::uint32_t hWnd() = 0;
  virtual std::uint32_t QuenziconPicture() = 0;

  // Screen.TwipsPerPixelX: twips in one horizontal pixel of the screen.
  virtual float TwipsPerPixelX() = 0;
};

// The shell's notification area: Shell_NotifyIconA with the action code
// widened to 32 bits and the 88-byte record.
class NotifyArea {
 public:
  virtual ~NotifyArea() = default;
  virtual bool Shell_NotifyIconA(std::int32_t message, const NotifyIconRecord& record) = 0;
};

}  // namespace kobex
