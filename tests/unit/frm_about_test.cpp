#include "about/frm_about.h"

#include <gtest/gtest.h>

namespace kobex {
namespace {

struct Expected {
  std::string_view name;
  PixelRect rect;
};

void ExpectLayout(const AboutWindow& box, int width, int height, const std::vector<Expected>& controls) {
  EXPECT_EQ(box.caption, "About");
  EXPECT_EQ(box.clientWidth, width);
  EXPECT_EQ(box.clientHeight, height);
  ASSERT_EQ(box.controls.size(), controls.size());
  for (std::size_t i = 0; i < controls.size(); ++i) {
    EXPECT_EQ(box.controls[i].name, controls[i].name) << "tab order, place " << i;
    EXPECT_EQ(box.controls[i].rect, controls[i].rect) << controls[i].name;
  }
}

TEST(AboutLayout, At15TwipsPerPixelEveryControlStandsAtItsTwipsOver15) {
  ExpectLayout(AboutInPixels(15, 15), 240, 211,
               {{"Image2", {0, 0, 296, 72}},
                {"Label1", {0, 88, 241, 17}},
                {"Label2", {0, 104, 241, 17}},
                {"Label3", {0, 136, 241, 17}},
                {"cmdOK", {80, 168, 73, 25}},
                {"Label4", {0, 120, 241, 17}}});
}

TEST(AboutLayout, At12TwipsPerPixelTheLayoutScalesButTheLogoKeepsItsSize) {
  ExpectLayout(AboutInPixels(12, 12), 300, 264,
               {{"Image2", {0, 0, 296, 72}},
                {"Label1", {0, 110, 301, 21}},
                {"Label2", {0, 130, 301, 21}},
                {"Label3", {0, 170, 301, 21}},
                {"cmdOK", {100, 210, 91, 31}},
                {"Label4", {0, 150, 301, 21}}});
}

}  // namespace
}  // namespace kobex
