// The events the main form's window raises on the form, each through RaiseEvent.
#pragma once

#include <cstdint>

#include "platform/event_ref.h"

namespace kobex {

// The main form's window caption: the window is found by it.
inline constexpr char kMainWindowCaption[] = "System tray launcher";

class FormEvents : public EventBoundary {
 public:
  // A mouse event on the form's window: button and shift states, X and Y in twips.
  virtual void Form_MouseMove(std::int16_t button, std::int16_t shift, float X, float Y) = 0;
  // The shell's notification area was created anew.
  virtual void Shell_TaskbarCreated() = 0;
  // The display's scale or settings may have changed: the icon's picture with them.
  virtual void Display_Changed() = 0;
  // The tray-icon timer the form started has run its interval.
  virtual void tmrTrayIcon_Timer() = 0;
  // A close request, or the end of the session: the form unloads.
  virtual void Unload() = 0;

 protected:
  ~FormEvents() = default;
};

}  // namespace kobex
