#include "control/tray_menu.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "tray/frm_corvane.h"

namespace kobex {
namespace {

using testing::FakeHost;
using testing::FakeWebControl;
using testing::Journal;
using Entries = std::vector<std::string>;

constexpr float kRightPress = 516 * 15.0f;

class MenuTest : public ::testing::Test {
 protected:
  Journal journal;
  FakeHost host{journal};
  FakeWebControl web{journal};
  frmCorvane form{host, host, web};

  void SetUp() override { form.RaiseEvent([this] { form.Form_Load(); }); }

  // A right press on the icon, then the given choice ("" dismisses the menu).
  void Choose(const std::string& item) {
    host.menuChoices.push_back(item);
    journal.entries.clear();
    form.RaiseEvent([this] { form.Form_MouseMove(2, 0, kRightPress, 0); });
  }
};

TEST_F(MenuTest, PopsUpTheTreeWithOpenAsDefault) {
  Choose("");
  ASSERT_EQ(host.menuShown.size(), 14u) << "the root, 6 items on the popup, 7 on the submenu";
  EXPECT_EQ(host.menuShown[host.menuDefault].name, "mnuIMOpen");
  Entries popup, submenu;
  for (const MenuEntry& e : host.menuShown) {
    if (e.level == 1) popup.emplace_back(e.caption);
    if (e.level == 2) submenu.emplace_back(e.caption);
  }
  EXPECT_EQ(popup, (Entries{"&Open", "&Close", "&About", "-", "My &State", "E&xit"}));
  EXPECT_EQ(submenu, (Entries{"Online", "Busy", "Be right back", "Away", "On the phone", "Out to lunch",
                              "Appear Offline"}));
  EXPECT_EQ(journal.entries, (Entries{"PopupMenu"})) << "dismissing the menu sends nothing";
}

TEST_F(MenuTest, EachPlainItemSendsExactlyItsOneRequest) {
  const std::pair<std::string, std::string> items[] = {
      {"mnuIMOpen", "/show?"},
      {"mnuIMClose", "/hide?"},
      {"mnuIMStateOnline", "/setstatus?online"},
      {"mnuIMStateBusy", "/setstatus?busy"},
      {"mnuIMStateBeRightBack", "/setstatus?brb"},
      {"mnuIMStateAway", "/setstatus?away"},
      {"mnuIMStateOnThePhone", "/setstatus?phone"},
      {"mnuIMStateOutToLunch", "/setstatus?lunch"},
      {"mnuIMStateAppearOffline", "/setstatus?offline"},
  };
  for (const auto& [item, path] : items) {
    Choose(item);
    EXPECT_EQ(journal.entries, (Entries{"PopupMenu", "GET " + path})) << item;
  }
  Choose("mnuIMStateAway");
  Choose("mnuIMStateAway");
  EXPECT_EQ(web.paths.size(), std::size(items) + 2) << "the same state chosen twice is sent twice";
  EXPECT_TRUE(form.loaded());
}

TEST_F(MenuTest, ItemsWithoutAHandlerRunNothing) {
  for (const char* item : {"mnuIM", "mnuIMSep", "mnuIMState"}) {
    Choose(item);
    EXPECT_EQ(journal.entries, (Entries{"PopupMenu"})) << item;
  }
}

TEST_F(MenuTest, ExitSendsItsRequestBeforeTheUnload) {
  Choose("mnuIMExit");
  EXPECT_EQ(journal.entries,
            (Entries{"PopupMenu", "GET /exit?", "NIM_DELETE", "DestroyForm"}));
  EXPECT_FALSE(form.loaded());
  EXPECT_FALSE(host.endedWith);
}

TEST_F(MenuTest, AFailedExitRequestLeavesTheFormLoaded) {
  web.onGet = [](const std::string&) { throw Error("refused"); };
  Choose("mnuIMExit");
  EXPECT_EQ(journal.entries, (Entries{"PopupMenu", "GET /exit?", "NIM_DELETE",
                                      "MsgBox refused", "End 2"}));
  EXPECT_FALSE(host.destroyed) << "no unload after a failed /exit?";
}

TEST_F(MenuTest, AboutSendsNothingAndReturnsWhenClosedEachTimeAfresh) {
  Choose("mnuIMAbout");
  EXPECT_EQ(journal.entries, (Entries{"PopupMenu", "ShowAbout", "CloseAbout", "AboutReturned"}));
  Choose("mnuIMAbout");
  EXPECT_EQ(journal.entries, (Entries{"PopupMenu", "ShowAbout", "CloseAbout", "AboutReturned"}));
  EXPECT_TRUE(web.paths.empty());
}

TEST_F(MenuTest, AboutChosenWhileOpenBringsTheOpenBoxForward) {
  host.whileAboutOpen = [this](AboutEvents&) { Choose("mnuIMAbout"); };
  Choose("mnuIMAbout");
  EXPECT_EQ(journal.entries, (Entries{"PopupMenu", "ActivateAbout", "CloseAbout", "AboutReturned"}));
}

TEST_F(MenuTest, ExitWhileAboutIsOpenStillEndsEverything) {
  host.whileAboutOpen = [this](AboutEvents&) { Choose("mnuIMExit"); };
  Choose("mnuIMAbout");
  EXPECT_EQ(journal.entries, (Entries{"PopupMenu", "GET /exit?", "NIM_DELETE",
                                      "CloseAbout", "DestroyForm", "AboutReturned"}));
  EXPECT_EQ(host.IconsShown(), 0);
}

TEST_F(MenuTest, AnErrorFromThePopupEndsTheProcedure) {
  host.twipsPerPixelX = 0;
  Choose("mnuIMOpen");
  EXPECT_TRUE(host.menuShown.empty());
  EXPECT_TRUE(web.paths.empty());
  EXPECT_EQ(host.messages, (Entries{"Division by zero"}));
}

}  // namespace
}  // namespace kobex
