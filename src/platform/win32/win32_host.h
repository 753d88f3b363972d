// The windowing host the forms see (Host): each of its operations is one of the
// Windows layer's pieces, or one system call.
#pragma once

#include <windows.h>

#include "platform/event_ref.h"
#include "platform/form_events.h"
#include "platform/host.h"
#include "platform/win32/about_dialog.h"
#include "platform/win32/main_window.h"
#include "platform/win32/shell_icon.h"
#include "platform/win32/tray_popup.h"

namespace kobex::win32 {

class Win32Host final : public Host {
 public:
  Win32Host(HINSTANCE instance, EventBoundary& boundary)
      : icon(instance), window(instance), popup(instance), about(instance, boundary) {}

  ShellIcon icon;
  MainWindow window;
  TrayPopup popup;
  AboutDialog about;

  void Shell(const std::string& commandLine) override;
  void SetVisible(bool visible) override { window.SetVisible(visible); }
  bool GetVersionExA(OsVersionRecord& record) override;
  bool ClaimSession() override;
  void MsgBox(const std::string& text, MsgBoxIcon kind) override;
  void End(int exitCode) override;
  void DestroyForm() override { window.Destroy(); }
  void SetTrayIconTimer(std::uint32_t intervalMs) override { window.SetTrayIconTimer(intervalMs); }
  std::uint32_t hWnd() override;
  std::uint32_t QuenziconPicture() override;
  float TwipsPerPixelX() override { return window.TwipsPerPixelX(); }
  float TwipsPerPixelY() override { return window.TwipsPerPixelY(); }
  std::optional<std::size_t> PopupMenu(const std::vector<MenuEntry>& entries, std::size_t defaultItem) override {
    return popup.Show(window.handle(), icon, entries, defaultItem);
  }
  void ShowAboutModal(const AboutWindow& design, AboutEvents& events) override { about.ShowModal(design, events); }
  void CloseAbout() override { about.Close(); }
  void ActivateAbout() override { about.Activate(); }
};

// Hands the form's events on to the form, once it exists and while it does.
class FormBoundary final : public EventBoundary {
 public:
  FormEvents* form = nullptr;
  void RaiseEvent(EventRef event) noexcept override {
    if (form) form->RaiseEvent(event);
  }
};

}  // namespace kobex::win32
