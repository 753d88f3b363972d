#include "control/tray_menu.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "tray/frm_corvane.h"
#include "tray/notify_dispatch.h"

namespace kobex {
namespace {

using namespace testing;  // NOLINT(google-build-using-namespace): the fakes' steps
using Strings = std::vector<std::string>;

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
  ASSERT_EQ(host.menuShown.size(), 14u) << "the root, 6 items on the popup, 7 on the submenu";
  EXPECT_EQ(host.menuShown[host.menuDefault].name, "mnuIMOpen");
  Strings popup, submenu;
  for (const MenuEntry& e : host.menuShown) {
    if (e.level == 1) popup.emplace_back(e.caption);
    if (e.level == 2) submenu.emplace_back(e.caption);
  }
  EXPECT_EQ(popup, (Strings{"&Open", "&Close", "&About", "-", "My &State", "E&xit"}));
  EXPECT_EQ(submenu, (Strings{"Online", "Busy", "Be right back", "Away", "On the phone", "Out to lunch",
                              "Appear Offline"}));
  EXPECT_EQ(journal, (Steps{Op::PopupMenu})) << "dismissing the menu sends nothing";
}

// Items without a handler (the root, the separator, the submenu's own item) run nothing; a state chosen
// twice is sent twice.
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
