#include "tray/frm_corvane.h"

#include <exception>

#include "tray/notify_dispatch.h"
#include "tray/notify_icon.h"

namespace kobex {

void frmCorvane::Form_Load() {
  // Launched before the version test: the client runs even where we refuse.
  host_.Shell(std::string(kLaunchCommand));
  host_.SetVisible(false);

  OsVersionRecord info{};
  PutU32LE(info, 0, static_cast<std::uint32_t>(kOsVersionInfoSize));
  // Not examined: a failed query leaves major version 0, which is refused.
  (void)host_.GetVersionExA(info);
  const auto dwMajorVersion = static_cast<std::int32_t>(GetU32LE(info, 4));
  if (dwMajorVersion < kMinimumMajorVersion) {
    host_.MsgBox(std::string(kRefusalMessage), MsgBoxIcon::None);
    host_.End(kExitRefused);
    return;
  }
  // One icon a session: a second start has launched the client again (bringing
  // back one that had ended) and leaves the rest to the running launcher.
  if (!host_.ClaimSession()) {
    host_.End(kExitAnotherRuns);
    return;
  }
  ShowTrayIcon();
}

void frmCorvane::Form_Unload(int& /*cancel*/) { UpdateTrayIcon(NIM_DELETE); }

void frmCorvane::Form_MouseMove(std::int16_t /*button*/, std::int16_t /*shift*/, float X, float /*Y*/) {
  // Clicks queued during a request may arrive after the unload: nothing may follow an exit.
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
  // Else a restarted shell leaves the launcher with no way to reach or end it.
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
  // A shell that has the icon already (a timed-out add that was carried out)
  // refuses the add and takes the modification. Messages run while the shell
  // answers: after an unload nothing more is done, after a later offer its answer stands.
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
  // Set first: events run while the shell answers see the icon as it will be.
  if (action != NIM_MODIFY) iconAdded_ = (action == NIM_ADD);
  const bool accepted = shell_.Shell_NotifyIconA(static_cast<std::int32_t>(action), record);
  if (action != NIM_ADD) return accepted;
  if (!loaded_) {
    // Unloaded while the shell answered: its delete may have come before this
    // add, so the icon goes again (a shell without it refuses; nothing more to do).
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
  // The icon goes first: a click on it under the message would start an event.
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
