#include "control/tray_menu.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "tray/frm_corvane.h"
#include "tray/notify_dispatch.h"

namespace kobex {
namespace {

using namespace testing;  // NOLINT(google-build-using-namespace): the fakes' steps

class MenuTest : public FormTest {
 protected:
  void SetUp() override { Load(); }

  // A right press on the icon, then this choice ("" dismisses the menu).
  void Choose(const std::string& item) {
    host.menuChoice = item;
    journal.clear();
    Notify(WM_RBUTTONDOWN);
  }
};

TEST_F(MenuTest, PopsUpTheTreeWithOpenAsDefault) {
  Choose("");
  EXPECT_EQ(host.menuShown.at(host.menuDefault).name, "mnuIMOpen");
  std::vector<std::pair<int, std::string_view>> items;  // below the root: the popup's, and the submenu's at level 2
  for (const MenuEntry& e : host.menuShown) items.emplace_back(e.level, e.level ? e.caption : "the root");
  EXPECT_EQ(items, (decltype(items){{0, "the root"}, {1, "&Open"}, {1, "&Close"}, {1, "&About"}, {1, "-"},
                                    {1, "My &State"}, {2, "Online"}, {2, "Busy"}, {2, "Be right back"}, {2, "Away"},
                                    {2, "On the phone"}, {2, "Out to lunch"}, {2, "Appear Offline"}, {1, "E&xit"}}));
  EXPECT_EQ(journal, (Steps{Op::PopupMenu})) << "dismissing the menu sends nothing";
}

// The root, the separator and the submenu's own item run nothing; a state chosen twice is sent twice.
TEST_F(MenuTest, EachItemSendsExactlyItsOneRequest) {
  const std::pair<std::string, std::string> items[] = {
      {"mnuIMOpen", "/show?"}, {"mnuIMClose", "/hide?"}, {"mnuIMStateOnline", "/setstatus?online"},
      {"mnuIMStateBusy", "/setstatus?busy"}, {"mnuIMStateBeRightBack", "/setstatus?brb"},
      {"mnuIMStateAway", "/setstatus?away"}, {"mnuIMStateAway", "/setstatus?away"},
      {"mnuIMStateOnThePhone", "/setstatus?phone"}, {"mnuIMStateOutToLunch", "/setstatus?lunch"},
      {"mnuIMStateAppearOffline", "/setstatus?offline"}, {"mnuIM", ""}, {"mnuIMSep", ""}, {"mnuIMState", ""},
  };
  for (const auto& [item, path] : items) {
    Choose(item);
    EXPECT_EQ(journal, path.empty() ? Steps{Op::PopupMenu} : (Steps{Op::PopupMenu, Get(path)})) << item;
  }
  EXPECT_TRUE(form.loaded());
}

TEST_F(MenuTest, ExitSendsItsRequestBeforeTheUnload) {
  Choose("mnuIMExit");
  EXPECT_EQ(journal, (Steps{Op::PopupMenu, Get("/exit?"), Nim(NIM_DELETE), Op::DestroyForm}));
  EXPECT_FALSE(form.loaded());
}

TEST_F(MenuTest, AFailedExitRequestLeavesTheFormLoaded) {
  host.onGet = [](const std::string&) { throw Error("refused"); };
  Choose("mnuIMExit");
  EXPECT_EQ(journal,
            (Steps{Op::PopupMenu, Get("/exit?"), Nim(NIM_DELETE), Box("refused"), Ended(kExitError)}));
}

TEST_F(MenuTest, AboutSendsNothingAndReturnsWhenClosedEachTimeAfresh) {
  for (int time = 1; time <= 2; ++time) {
    Choose("mnuIMAbout");
    EXPECT_EQ(journal, (Steps{Op::PopupMenu, Op::ShowAbout, Op::CloseAbout, Op::AboutReturned})) << time;
  }
}

TEST_F(MenuTest, AboutChosenWhileOpenBringsTheOpenBoxForward) {
  host.whileAboutOpen = [this](AboutEvents&) { Choose("mnuIMAbout"); };
  Choose("mnuIMAbout");
  EXPECT_EQ(journal, (Steps{Op::PopupMenu, Op::ActivateAbout, Op::CloseAbout, Op::AboutReturned}));
}

TEST_F(MenuTest, ExitWhileAboutIsOpenStillEndsEverything) {
  host.whileAboutOpen = [this](AboutEvents&) { Choose("mnuIMExit"); };
  Choose("mnuIMAbout");
  EXPECT_EQ(journal, (Steps{Op::PopupMenu, Get("/exit?"), Nim(NIM_DELETE), Op::CloseAbout, Op::DestroyForm,
                                  Op::AboutReturned}));
}

TEST_F(MenuTest, AnErrorFromThePopupEndsTheProcedure) {
  host.twipsPerPixelX = 0;
  Choose("mnuIMOpen");
  EXPECT_EQ(journal, (Steps{Nim(NIM_DELETE), Box("Division by zero"), Ended(kExitError)}));
}

}  // namespace
}  // namespace kobex
