#include "about/frm_about.h"

#include <algorithm>
#include <cmath>

namespace kobex {

int TwipsToPixels(int twips, float twipsPerPixel) {
  return static_cast<int>(std::lround(static_cast<double>(twips) / twipsPerPixel));
}

AboutWindow AboutInPixels(float twipsPerPixelX, float twipsPerPixelY) {
  AboutWindow window{kAboutCaption, TwipsToPixels(kAboutWidthTwips, twipsPerPixelX),
                     TwipsToPixels(kAboutHeightTwips, twipsPerPixelY), {}};
  for (const AboutControlDesign& c : kAboutLayout) {
    PixelRect rect{TwipsToPixels(c.left, twipsPerPixelX), TwipsToPixels(c.top, twipsPerPixelY),
                   TwipsToPixels(c.width, twipsPerPixelX), TwipsToPixels(c.height, twipsPerPixelY)};
    if (c.kind == ControlKind::Image) rect = {rect.left, rect.top, kLogoWidthPixels, kLogoHeightPixels};
    window.controls.push_back({c.name, c.kind, c.text, rect, c.tabIndex, 0});
  }
  // Windows' tab order is the creation order.
  std::stable_sort(window.controls.begin(), window.controls.end(),
                   [](const PlacedControl& a, const PlacedControl& b) { return a.tabIndex < b.tabIndex; });
  int nextId = kAboutFirstControlId;
  for (PlacedControl& c : window.controls) c.id = c.kind == ControlKind::CommandButton ? kAboutOkId : nextId++;
  return window;
}

void frmAbout::Show() {
  if (loaded_) {
    host_.ActivateAbout();
    return;
  }
  // Each showing is fresh: the design is laid out anew for the screen of now.
  const AboutWindow design = AboutInPixels(host_.TwipsPerPixelX(), host_.TwipsPerPixelY());
  loaded_ = true;
  try {
    host_.ShowAboutModal(design, *this);
  } catch (...) {
    loaded_ = false;
    throw;
  }
  loaded_ = false;
}

void frmAbout::Unload() {
  if (!loaded_) return;
  loaded_ = false;
  host_.CloseAbout();
}

void frmAbout::cmdOK_Click() { Unload(); }

}  // namespace kobex
