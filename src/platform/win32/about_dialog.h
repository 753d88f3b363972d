// The About box on Win32: a modal dialog without an owner, its controls at the
// pixels frmAbout computed, on white (the system's window colour under High
// Contrast). Whether it is open is frmAbout's to know.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/about_host.h"
#include "platform/event_ref.h"
#include "platform/win32/handles.h"

namespace kobex::win32 {

class AboutDialog {
 public:
  // The box's OK goes to the form through `events` (errors get the default handling).
  AboutDialog(HINSTANCE instance, EventBoundary& events) : instance_(instance), boundary_(events) {}

  // Returns when the box has been closed through Close(). Throws Error.
  void ShowModal(const AboutWindow& design, AboutEvents& events);
  // Act on the window of the showing in progress, if it exists yet.
  void Close();
  void Activate();

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  // Places the controls; throws nothing, as it runs in the dialog procedure.
  void Build(HWND dialog) noexcept;
  bool LoadIcons() noexcept;
  void ShowIcons(HWND dialog) const noexcept;
  // Frees what one showing made, whichever way ShowModal is left.
  void Release() noexcept;

  HINSTANCE instance_;
  EventBoundary& boundary_;
  HWND window_ = nullptr;  // from WM_INITDIALOG to the end of the showing
  const AboutWindow* design_ = nullptr;
  AboutEvents* events_ = nullptr;
  std::vector<std::string> texts_;  // the controls' texts, NUL-terminated
  OwnedBitmap logo_;
  OwnedIcon icon_;
  OwnedIcon smallIcon_;
  COLORREF background_ = RGB(255, 255, 255);  // the box's and its labels'
  COLORREF text_ = RGB(0, 0, 0);
  OwnedBrush brush_;  // of the background colour
};

}  // namespace kobex::win32
