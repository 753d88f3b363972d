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

  // Events raised by the host.
  void Form_Load();
  void Form_Unload(int& cancel);
  // Button and shift states as the host reports them; X and Y in twips.
  void Form_MouseMove(std::int16_t button, std::int16_t shift, float X, float Y) override;
  // The shell's notification area was created anew (the shell restarted, or
  // the display's scale changed, when the icon may still be there): the icon
  // is added again, and modified in place where the shell still had it, so
  // that its picture is the one for the display of now.
  void Shell_TaskbarCreated() override;
  // The display's scale or settings may have changed: the icon is modified in
  // place with its picture for the display of now; offered again where the
  // shell refuses, having lost it.
  void Display_Changed() override;
  // While the shell has not taken the icon (at sign-in, before the taskbar is
  // ready, or while the shell is busy), the icon is offered again on each tick.
  void tmrTrayIcon_Timer() override;

  // The tray menu the form carries, with its click events.
  TrayMenu& mnuIM() { return mnuIM_; }

  // Unloads the form: its unload event runs once, however many times the
  // host is asked (Exit, a close request, the end of the session). An open
  // About box goes with it, so that nothing keeps the program alive.
  void Unload() override;
  bool loaded() const { return loaded_; }

  void SendClientCommand(ClientCommand command) { kobex::SendClientCommand(webControl_, command); }

  // Runs one event procedure as the host does: an error that escapes it gets
  // the default handling (message box, icon removed, program ended).
  void RaiseEvent(EventRef event) noexcept override;

 private:
  // Shell_NotifyIconA with the form's record; the shell's answer.
  bool UpdateTrayIcon(std::int16_t action);
  // Offers the icon to the shell, and keeps offering it on the timer until the
  // shell has it.
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
