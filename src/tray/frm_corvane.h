// The launcher's invisible main form: start-up, shutdown, the tray icon and the
// host's default handling of an error that escapes an event procedure.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "control/client_commands.h"
#include "platform/error.h"
#include "platform/host.h"
#include "platform/web_control.h"

namespace kobex {

inline constexpr std::string_view kLaunchCommand = "kobex.bat TASKBAR";
inline constexpr std::string_view kRefusalMessage =
    "This program requires Windows 95 or later, or Windows NT 4.0 or later.";
inline constexpr std::int32_t kMinimumMajorVersion = 4;

// Exit codes: 0 after an unload, these when the program ends otherwise.
inline constexpr int kExitRefused = 1;
inline constexpr int kExitError = 2;

class frmCorvane {
 public:
  frmCorvane(Host& host, NotifyArea& shell, WebControl& webControl)
      : host_(host), shell_(shell), webControl_(webControl) {}

  frmCorvane(const frmCorvane&) = delete;
  frmCorvane& operator=(const frmCorvane&) = delete;

  // Events raised by the host.
  void Form_Load();
  void Form_Unload(int& cancel);

  // Unloads the form: its unload event runs once, however many times the
  // host is asked (Exit, a close request, the end of the session).
  void Unload();
  bool loaded() const { return loaded_; }

  void SendClientCommand(ClientCommand command) { kobex::SendClientCommand(webControl_, command); }

  // Runs one event procedure as the host does: an error that escapes it gets
  // the default handling (message box, icon removed, program ended).
  template <class Event>
  void RaiseEvent(Event&& event) noexcept {
    if (ending_) return;
    try {
      event();
    } catch (const std::exception& e) {
      DefaultErrorHandling(e.what());
    } catch (...) {
      DefaultErrorHandling("Unexpected error.");
    }
  }

 private:
  void UpdateTrayIcon(std::int16_t action);
  void DefaultErrorHandling(const std::string& description) noexcept;

  Host& host_;
  NotifyArea& shell_;
  WebControl& webControl_;
  bool loaded_ = true;
  bool iconAdded_ = false;  // so that no way out leaves a ghost icon behind
  bool ending_ = false;
};

}  // namespace kobex
