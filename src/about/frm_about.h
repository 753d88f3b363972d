// frmAbout: the modal About box. Its design is a table in twips; the host gets
// it converted to pixels with the screen's twips-per-pixel factors.
#pragma once

#include <array>
#include <string_view>

#include "platform/about_host.h"
#include "platform/host.h"

namespace kobex {

struct AboutControlDesign {
  std::string_view name;
  ControlKind kind;
  std::string_view text;
  int left, top, width, height;  // twips
  int tabIndex;                  // -1: none
};

inline constexpr std::string_view kAboutCaption = "About";
inline constexpr int kAboutWidthTwips = 3600;
inline constexpr int kAboutHeightTwips = 3165;

// The logo's own size: it is shown at that size, not scaled.
inline constexpr int kLogoWidthPixels = 296;
inline constexpr int kLogoHeightPixels = 72;

// Top to bottom, as the box is designed.
inline constexpr std::array<AboutControlDesign, 6> kAboutLayout{{
    {"Image2", ControlKind::Image, "", 0, 0, 4440, 1080, -1},
    {"Label1", ControlKind::Label, "Veltrano Instant Messenger", 0, 1320, 3615, 255, 0},
    {"Label2", ControlKind::Label, "Copyright (C) 2026 Veltrano. All rights reserved.", 0, 1560, 3615, 255, 1},
    {"Label4", ControlKind::Label, "Redistributed By Permission.", 0, 1800, 3615, 255, 4},
    {"Label3", ControlKind::Label, "www.veltrano.example", 0, 2040, 3615, 255, 2},
    {"cmdOK", ControlKind::CommandButton, "OK", 1200, 2520, 1095, 375, 3},
}};

// Twips to pixels, rounded to the nearest pixel.
int TwipsToPixels(int twips, float twipsPerPixel);

// The box in pixels, controls in tab order (the untabbed image first).
AboutWindow AboutInPixels(float twipsPerPixelX, float twipsPerPixelY);

class frmAbout final : public AboutEvents {
 public:
  explicit frmAbout(Host& host) : host_(host) {}

  // Modal: returns once unloaded. Asked again while open, brings it forward.
  void Show();
  // Unloads the box, which ends its modal showing.
  void Unload();

  void cmdOK_Click() override;
  bool IsLoaded() const override { return loaded_; }

 private:
  Host& host_;
  bool loaded_ = false;
};

}  // namespace kobex
