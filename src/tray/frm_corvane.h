// The launcher's invisible main form: start-up, shutdown, the tray icon and the
// host's default handling of an error that escapes an event procedure.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "about/frm_about.h"
#include "control/client_commands.h"
#include "control/tray_menu.h"
#include "platform/error.h"
#include "platform/form_events.h"
#include "platform/host.h"
#include "platform/web_control.h"

namespace kobex {

inline constexpr std::string_view kLaunchCommand = "kobex.bat TASKBAR";
inline constexpr std::string_view kRefusalMessage =
    "This program requires Windows 95 or later, or Windows NT 4.0 or later.";
inline constexpr std::int32_t kMinimumMajorVersion = 4;
// How often an icon the shell has not taken yet is offered again.
inline constexpr std::uint32_t kTrayIconRetryMs = 3000;

class frmCorvane final : public FormEvents, private MenuCarrier {
 public:
  frmCorvane(Host& host, NotifyArea& shell, WebControl& webControl)
      : host_(host), shell_(shell), webControl_(webControl), about_(host), mnuIM_(host, webControl, *this) {}

  frmCorvane(const frmCorvane&) = delete;
  frmCorvane& operator=(const frmCorvane&) = delete;

  void Form_Load();
  void Form_Unload(int& cancel);
  void Form_MouseMove(std::int16_t button, std::int16_t shift, float X, float Y) override;
  // The notification area was created anew (a restarted shell, or a new scale
  // with the icon still there): added again, or modified where the shell has it.
  void Shell_TaskbarCreated() override;
  // The display may have changed: the icon takes its current picture, or is offered again if lost.
  void Display_Changed() override;
  // Offers the icon again while the shell has not taken it (at sign-in, or busy).
  void tmrTrayIcon_Timer() override;

  TrayMenu& mnuIM() { return mnuIM_; }

  // The unload event runs once, however often asked; an open About box goes
  // with it, so nothing keeps the program alive.
  void Unload() override;
  bool loaded() const { return loaded_; }

  void SendClientCommand(ClientCommand command) { kobex::SendClientCommand(webControl_, command); }

  // Runs an event procedure; an escaping error gets the default handling.
  void RaiseEvent(EventRef event) noexcept override;

 private:
  // Shell_NotifyIconA with the form's record; the shell's answer.
  bool UpdateTrayIcon(std::int16_t action);
  // Offers the icon, and keeps offering it on the timer until the shell has it.
  void ShowTrayIcon();
  void ShowAbout() override { about_.Show(); }
  void DefaultErrorHandling(const std::string& description) noexcept;

  Host& host_;
  NotifyArea& shell_;
  WebControl& webControl_;
  frmAbout about_;  // the program-wide instance, loaded only while shown
  TrayMenu mnuIM_;
  bool loaded_ = true;
  bool iconAdded_ = false;  // the icon belongs in the tray: so that no way out leaves a ghost icon behind
  bool iconWaiting_ = false;  // it belongs there, but the shell has not taken it yet: the timer runs
  unsigned offers_ = 0;       // offers of the icon so far, so that an offer knows when a later one overtook it
  bool ending_ = false;
};

}  // namespace kobex
