// The About box on Win32: a modal dialog without an owner, its controls placed
// at the pixel positions the about subsystem computed, on a white background.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/about_host.h"

namespace kobex::win32 {

class AboutDialog {
 public:
  // `raise` runs an event procedure as the host does (errors get the default handling).
  AboutDialog(HINSTANCE instance, std::function<void(std::function<void()>)> raise)
      : instance_(instance), raise_(std::move(raise)) {}

  // Returns when the box has been closed through Close(). Throws Error.
  void ShowModal(const AboutWindow& design, AboutEvents& events);
  void Close();
  void Activate();

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  void Build(HWND dialog);

  HINSTANCE instance_;
  std::function<void(std::function<void()>)> raise_;
  HWND dialog_ = nullptr;
  const AboutWindow* design_ = nullptr;
  AboutEvents* events_ = nullptr;
  HBITMAP logo_ = nullptr;
  HICON icon_ = nullptr;
  HICON smallIcon_ = nullptr;
  HBRUSH white_ = nullptr;
};

}  // namespace kobex::win32
