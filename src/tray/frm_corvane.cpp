#include "tray/frm_corvane.h"

#include <exception>

#include "tray/notify_dispatch.h"
#include "tray/notify_icon.h"

namespace kobex {

void frmCorvane::Form_Load() {
  // The client is launched before the version test, so it runs even on a
  // system the launcher then refuses.
  host_.Shell(std::string(kLaunchCommand));
  host_.SetVisible(false);

  OsVersionRecord info{};
  PutU32LE(info, 0, static_cast<std::uint32_t>(kOsVersionInfoSize));
  // The answer is deliberately not examined: a failed query leaves the record
  // zero-filled, and a major version of 0 is refused below.
  (void)host_.GetVersionExA(info);
  const auto dwMajorVersion = static_cast<std::int32_t>(GetU32LE(info, 4));
  if (dwMajorVersion < kMinimumMajorVersion) {
    host_.MsgBox(std::string(kRefusalMessage), MsgBoxIcon::None);
    host_.End(kExitRefused);
    return;
  }
  // One icon for one client: a second start (a second double-click, or by hand
  // while the Startup shortcut's launcher runs) has launched the client again,
  // which brings back a client that had ended, and leaves the rest to the
  // launcher already running.
  if (!host_.ClaimSession()) {
    host_.End(kExitAnotherRuns);
    return;
  }
  ShowTrayIcon();
}

void frmCorvane::Form_Unload(int& /*cancel*/) { UpdateTrayIcon(NIM_DELETE); }

void frmCorvane::Form_MouseMove(std::int16_t /*button*/, std::int16_t /*shift*/, float X, float /*Y*/) {
  // Notifications that queued while a request was on its way arrive during
  // the icon's removal, when the shell's answer is awaited: once the form is
  // unloading they are not acted on, so no menu and no request follow an exit.
  if (!loaded_) return;
  switch (ReactionTo(NotificationCode(X, host_.TwipsPerPixelX()))) {
    case IconReaction::ShowClient:
      SendClientCommand(ClientCommand::Show);
      break;
    case IconReaction::OpenMenu:
      mnuIM_.Popup();
      break;
    case IconReaction::None:
      break;
  }
}

void frmCorvane::Shell_TaskbarCreated() {
  // Without this a restarted shell would leave the launcher running with no
  // way to reach it or end it.
  if (!loaded_ || !iconAdded_) return;
  ShowTrayIcon();
}

void frmCorvane::Display_Changed() {
  // A shell that refuses the modification has no icon: it is offered again.
  if (loaded_ && iconAdded_ && !UpdateTrayIcon(NIM_MODIFY)) ShowTrayIcon();
}

void frmCorvane::tmrTrayIcon_Timer() {
  if (!loaded_) return;  // the timer went with the form
  if (iconAdded_ && iconWaiting_) {
    ShowTrayIcon();
    return;
  }
  // A tick queued before the shell took the icon: nothing waits any more.
  iconWaiting_ = false;
  host_.SetTrayIconTimer(0);
}

void frmCorvane::ShowTrayIcon() {
  // A shell that has the icon already (an add that timed out but was carried
  // out, or a notification area created anew with the icon still in it)
  // refuses the add and takes the modification, which brings the picture of
  // now; one that lacks it takes the add.
  // The window's messages are handled while the shell answers: a close, the
  // end of the session or another offer may run inside each call. After an
  // unload nothing more is done; after a later offer, its answer stands.
  if (!loaded_) return;
  const unsigned offer = ++offers_;
  const auto overtaken = [&] { return !loaded_ || offer != offers_; };
  bool shown = UpdateTrayIcon(NIM_ADD);
  if (overtaken()) return;
  if (!shown) shown = UpdateTrayIcon(NIM_MODIFY);
  if (overtaken() || shown == !iconWaiting_) return;
  iconWaiting_ = !shown;
  host_.SetTrayIconTimer(iconWaiting_ ? kTrayIconRetryMs : 0);
}

void frmCorvane::Unload() {
  if (!loaded_) return;
  loaded_ = false;
  int cancel = 0;
  Form_Unload(cancel);
  about_.Unload();
  host_.DestroyForm();
}

bool frmCorvane::UpdateTrayIcon(std::int16_t action) {
  const std::uint32_t hWnd = host_.hWnd();
  const std::uint32_t hIcon = host_.QuenziconPicture();
  const NotifyIconRecord record = BuildNotifyIconRecord(hWnd, hIcon);
  // Set before the call: the events handled while the shell answers see the
  // icon as it will be.
  if (action != NIM_MODIFY) iconAdded_ = (action == NIM_ADD);
  const bool accepted = shell_.Shell_NotifyIconA(static_cast<std::int32_t>(action), record);
  if (action != NIM_ADD) return accepted;
  if (!loaded_) {
    // The form unloaded while the shell answered, and its delete may have
    // reached the shell before this add: the icon goes again, by the same
    // record, the window being gone. (A shell without it refuses; either way
    // nothing more can be done.)
    (void)shell_.Shell_NotifyIconA(NIM_DELETE, record);
    return false;
  }
  return accepted;
}

void frmCorvane::RaiseEvent(EventRef event) noexcept {
  if (ending_) return;
  try {
    event();
  } catch (const std::exception& e) {
    DefaultErrorHandling(e.what());
  } catch (...) {
    DefaultErrorHandling("Unexpected error.");
  }
}

void frmCorvane::DefaultErrorHandling(const std::string& description) noexcept {
  ending_ = true;
  // The icon goes first: a click on it while the message is up would start
  // another event in a program that is about to end.
  if (iconAdded_) {
    try {
      UpdateTrayIcon(NIM_DELETE);
    } catch (...) {  // NOLINT(bugprone-empty-catch): nothing more can be done about the icon; the message still matters
    }
  }
  try {
    host_.MsgBox(description, MsgBoxIcon::Critical);
  } catch (...) {  // NOLINT(bugprone-empty-catch): a message that cannot be shown leaves the end to come
  }
  host_.End(kExitError);
}

}  // namespace kobex
