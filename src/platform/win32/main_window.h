// frmCorvane's window on Win32: never shown, the icon's owner, the message loop,
// and the one place where window messages become the form's events.
#pragma once

#include <windows.h>

#include "platform/form_events.h"
#include "platform/win32/handles.h"

namespace kobex::win32 {

class MainWindow {
 public:
  explicit MainWindow(HINSTANCE instance) : instance_(instance) {}
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Where the window's events go; the destructor lets go of it first.
  void Attach(FormEvents* form) { form_ = form; }
  // Creates the window, hidden, with the program's icon. Throws Error.
  void Create();
  // Runs until the window is destroyed; returns the process exit code.
  int RunMessageLoop();

  HWND handle() const { return hwnd_; }
  void SetVisible(bool visible);
  void Destroy();
  // The tray-icon timer: WM_TIMER every `intervalMs`, or none for 0. Throws Error.
  void SetTrayIconTimer(UINT intervalMs);

  // Screen.TwipsPerPixelX and Y, for the screen's resolution of now. Throw Error.
  float TwipsPerPixelX() const;
  float TwipsPerPixelY() const;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void ReadScreenDpi();

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  FormEvents* form_ = nullptr;
  UINT taskbarCreated_ = 0;  // the shell's broadcast when its notification area is created
  int dpiX_ = 0, dpiY_ = 0;  // the screen's resolution, kept current
  OwnedIcon icon_;  // the program's 32 x 32 icon, and its small one
  OwnedIcon smallIcon_;
};

}  // namespace kobex::win32
