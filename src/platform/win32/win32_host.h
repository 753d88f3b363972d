// The windowing host on Win32: the hidden main window of frmCorvane, its
// message loop, and the system calls the forms make. Raw window messages are
// decoded here, in one place, into the form's events.
#pragma once

#include <windows.h>

#include "platform/host.h"
#include "platform/win32/about_dialog.h"
#include "platform/win32/event_boundary.h"

namespace kobex {
class frmCorvane;
}

namespace kobex::win32 {

// The title the host gives message boxes that have none of their own.
inline constexpr char kAppTitle[] = "kobex";
inline constexpr char kMainWindowClass[] = "kobexTrayLauncher";
inline constexpr char kMenuOwnerClass[] = "kobexTrayMenuOwner";
inline constexpr char kMainWindowCaption[] = "System tray launcher";
// The main form's client area, in twips.
inline constexpr int kFormWidthTwips = 4470;
inline constexpr int kFormHeightTwips = 2505;

class Win32Host final : public Host, public NotifyArea, private EventBoundary {
 public:
  explicit Win32Host(HINSTANCE instance) : instance_(instance), about_(instance, *this) {}
  ~Win32Host() override;
  Win32Host(const Win32Host&) = delete;
  Win32Host& operator=(const Win32Host&) = delete;

  // The form the window's events go to. It may be gone before the host is:
  // the host's destructor lets go of it first.
  void Attach(frmCorvane* form) { form_ = form; }
  // Loads the main form's window (hidden) and quenzicon's picture. Throws Error.
  void CreateMainWindow();
  // Runs until the main window is destroyed; returns the process exit code.
  int RunMessageLoop();

  // Host
  void Shell(const std::string& commandLine) override;
  void SetVisible(bool visible) override;
  bool GetVersionExA(OsVersionRecord& record) override;
  void MsgBox(const std::string& text, MsgBoxIcon icon) override;
  void End(int exitCode) override;
  void DestroyForm() override;
  std::uint32_t hWnd() override;
  std::uint32_t QuenziconPicture() override;
  float TwipsPerPixelX() override;
  float TwipsPerPixelY() override;
  std::optional<std::size_t> PopupMenu(const std::vector<MenuEntry>& entries, std::size_t defaultItem) override;
  void ShowAboutModal(const AboutWindow& design, AboutEvents& events) override;
  void CloseAbout() override;
  void ActivateAbout() override;

  // NotifyArea
  bool Shell_NotifyIconA(std::int32_t message, const NotifyIconRecord& record) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void UnloadForm();
  void ReadScreenDpi();
  // EventBoundary: the form's RaiseEvent.
  void Raise(EventRef event) noexcept override;

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  UINT taskbarCreated_ = 0;  // the shell's broadcast when its notification area is created
  int dpiX_ = 0, dpiY_ = 0;  // the screen's resolution, kept current
  OwnedIcon quenzicon_;
  OwnedIcon smallIcon_;
  frmCorvane* form_ = nullptr;
  AboutDialog about_;
};

}  // namespace kobex::win32
