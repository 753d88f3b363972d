#include "about/frm_about.h"

#include <gtest/gtest.h>

namespace kobex {
namespace {

struct Expected {
  std::string_view name;
  PixelRect rect;
};

// At 15 twips a pixel every control stands at its twips over 15; at 12 the
// layout scales but the logo keeps its size.
TEST(AboutLayout, EveryControlStandsAtItsTwipsOverTheScale) {
  const struct {
    float twips;
    int width, height;
    std::vector<Expected> controls;  // in tab order
  } layouts[] = {
      {15, 240, 211, {{"Image2", {0, 0, 296, 72}}, {"Label1", {0, 88, 241, 17}}, {"Label2", {0, 104, 241, 17}},
                      {"Label3", {0, 136, 241, 17}}, {"cmdOK", {80, 168, 73, 25}}, {"Label4", {0, 120, 241, 17}}}},
      {12, 300, 264, {{"Image2", {0, 0, 296, 72}}, {"Label1", {0, 110, 301, 21}}, {"Label2", {0, 130, 301, 21}},
                      {"Label3", {0, 170, 301, 21}}, {"cmdOK", {100, 210, 91, 31}}, {"Label4", {0, 150, 301, 21}}}},
  };
  for (const auto& layout : layouts) {
    SCOPED_TRACE(layout.twips);
    const AboutWindow box = AboutInPixels(layout.twips, layout.twips);
    EXPECT_EQ(box.caption, "About");
    EXPECT_EQ(box.clientWidth, layout.width);
    EXPECT_EQ(box.clientHeight, layout.height);
    ASSERT_EQ(box.controls.size(), layout.controls.size());
    for (std::size_t i = 0; i < box.controls.size(); ++i) {
      EXPECT_EQ(box.controls[i].name, layout.controls[i].name) << "tab order, place " << i;
      EXPECT_EQ(box.controls[i].rect, layout.controls[i].rect) << layout.controls[i].name;
    }
  }
}

}  // namespace
}  // namespace kobex
