#include "about/frm_about.h"

#include <gtest/gtest.h>

namespace kobex {
namespace {

// Every control stands at its twips over the scale, but the logo keeps its size.
TEST(AboutLayout, EveryControlStandsAtItsTwipsOverTheScale) {
  const struct {
    float twips;
    int width, height;
    std::vector<std::pair<std::string_view, PixelRect>> controls;  // in tab order
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
    EXPECT_EQ(std::pair(box.clientWidth, box.clientHeight), std::pair(layout.width, layout.height));
    decltype(layout.controls) controls;
    for (const PlacedControl& c : box.controls) controls.emplace_back(c.name, c.rect);
    EXPECT_EQ(controls, layout.controls);
  }
}

}  // namespace
}  // namespace kobex
