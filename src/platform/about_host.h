// The About box as the host shows it: a modal window laid out in pixels by the about subsystem. The
// host reports OK (and every other way of closing the box) to the form, which asks it to close.
#pragma once

#include <string_view>
#include <vector>

namespace kobex {

enum class ControlKind { Image, Label, CommandButton };

// The image and the labels are numbered from here, in creation order; the
// command button has the dialog's own OK id (IDOK), which Enter presses.
inline constexpr int kAboutFirstControlId = 1001;
inline constexpr int kAboutOkId = 1;

struct PixelRect {
  int left, top, width, height;
  bool operator==(const PixelRect& o) const {
    return left == o.left && top == o.top && width == o.width && height == o.height;
  }
};

struct PlacedControl {
  std::string_view name;
  ControlKind kind;
  std::string_view text;
  PixelRect rect;
  int tabIndex;  // -1: takes no part in the tab order
  int id;        // the control's id in the host's dialog
};

struct AboutWindow {
  std::string_view caption;
  int clientWidth, clientHeight;       // pixels
  std::vector<PlacedControl> controls;  // in creation (tab) order
};

// The About form as the host sees it: what happens in the box goes to it, and
// whether the box is open is its to say.
class AboutEvents {
 public:
  virtual ~AboutEvents() = default;
  virtual void cmdOK_Click() = 0;
  virtual bool IsLoaded() const = 0;
};

}  // namespace kobex
