// The About box on Win32: a modal dialog without an owner, its controls placed
// at the pixel positions the about subsystem computed, on a white background
// (the system's window colour under High Contrast).
// Whether the box is open is the form's to know (frmAbout), which asks for it
// to be shown, closed or brought forward, and is asked when its window comes;
// this keeps only what one showing needs, its window among it.
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
  // Close and Activate act on the window of the showing in progress. Before
  // it exists there is none; the form is asked when it comes, in case it
  // unloaded meanwhile (no message is handled then, so nothing is known to).
  void Close();
  void Activate();

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  // Places the controls; allocates nothing and throws nothing, as it runs
  // inside the dialog procedure.
  void Build(HWND dialog) noexcept;
  bool LoadIcons() noexcept;
  void ShowIcons(HWND dialog) const noexcept;
  // Everything that belongs to one showing, made before the box opens and
  // released when it has closed, whichever way ShowModal is left.
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
