#include "tray/frm_corvane.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "fakes.h"
#include "tray/notify_dispatch.h"
#include "tray/notify_icon.h"

namespace kobex {
namespace {

using testing::FakeHost;
using testing::FakeWebControl;
using testing::Journal;
using Entries = std::vector<std::string>;

float kNaNForTests() { return std::numeric_limits<float>::quiet_NaN(); }

const std::string kRefusal = "MsgBox This program requires Windows 95 or later, or Windows NT 4.0 or later.";

class FormTest : public ::testing::Test {
 protected:
  Journal journal;
  FakeHost host{journal};
  FakeWebControl web{journal};
  frmCorvane form{host, host, web};

  void Load() {
    form.RaiseEvent([this] { form.Form_Load(); });
  }
};

TEST_F(FormTest, StartsTheClientHidesAndAddsTheIconInThatOrder) {
  Load();
  EXPECT_EQ(journal.entries,
            (Entries{"Shell kobex.bat TASKBAR", "Invisible", "GetVersionExA", "ClaimSession", "NIM_ADD"}));
  EXPECT_EQ(host.IconsShown(), 1);
  EXPECT_FALSE(host.endedWith);
  EXPECT_TRUE(web.paths.empty()) << "start-up sends nothing to the client";
}

TEST_F(FormTest, ASecondLauncherInTheSessionStartsTheClientAndEndsWithoutAnIcon) {
  host.anotherLauncherRuns = true;
  Load();
  EXPECT_EQ(journal.entries,
            (Entries{"Shell kobex.bat TASKBAR", "Invisible", "GetVersionExA", "ClaimSession", "End 0"}));
  EXPECT_TRUE(host.shellCalls.empty());
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(FormTest, QueriesTheVersionWithAZeroFilledRecordOf148Bytes) {
  Load();
  EXPECT_EQ(GetU32LE(host.versionRecordSeen, 0), 148u);
  for (std::size_t i = 4; i < kOsVersionInfoSize; ++i) EXPECT_EQ(host.versionRecordSeen[i], 0) << "byte " << i;
}

struct VersionCase {
  std::uint32_t major;
  bool querySucceeds;
  bool refused;
};

void PrintTo(const VersionCase& c, std::ostream* os) {
  *os << "major " << c.major << (c.querySucceeds ? "" : ", query failed");
}

class VersionTest : public FormTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(VersionTest, RefusesBelowFourAfterLaunchingTheClient) {
  host.majorVersion = GetParam().major;
  host.versionQuerySucceeds = GetParam().querySucceeds;
  Load();
  if (GetParam().refused) {
    EXPECT_EQ(journal.entries,
              (Entries{"Shell kobex.bat TASKBAR", "Invisible", "GetVersionExA", kRefusal, "End 1"}));
    EXPECT_TRUE(host.shellCalls.empty());
  } else {
    EXPECT_EQ(host.shellCalls.size(), 1u);
    EXPECT_EQ(host.shellCalls[0].message, 0);
    EXPECT_FALSE(host.endedWith);
  }
}

INSTANTIATE_TEST_SUITE_P(MajorVersions, VersionTest,
                         ::testing::Values(VersionCase{3, true, true}, VersionCase{0, true, true},
                                           VersionCase{4, true, false}, VersionCase{10, true, false},
                                           // Read as signed: a major version with the top bit set is negative.
                                           VersionCase{0x80000000u, true, true},
                                           VersionCase{0xFFFFFFFFu, true, true},
                                           // A failed query leaves zeros, and zero is refused.
                                           VersionCase{6, false, true}),
                         [](const ::testing::TestParamInfo<VersionCase>& info) {
                           return "Major" + std::to_string(info.param.major) +
                                  (info.param.querySucceeds ? "" : "QueryFailed");
                         });

TEST_F(FormTest, AddAndDeleteHandTheSameRecordWithTheirOwnActionCodes) {
  Load();
  form.RaiseEvent([this] { form.Unload(); });
  ASSERT_EQ(host.shellCalls.size(), 2u);
  EXPECT_EQ(host.shellCalls[0].message, 0);
  EXPECT_EQ(host.shellCalls[1].message, 2);
  EXPECT_EQ(host.shellCalls[0].record, host.shellCalls[1].record);
  using Bytes = std::vector<std::uint8_t>;
  const NotifyIconRecord& record = host.shellCalls[0].record;
  EXPECT_EQ(Bytes(record.begin() + 4, record.begin() + 8), (Bytes{0x2A, 0x0F, 0x01, 0x00})) << "the form's window";
  EXPECT_EQ(Bytes(record.begin() + 20, record.begin() + 24), (Bytes{0x11, 0x04, 0x0C, 0x2B})) << "quenzicon's picture";
}

TEST_F(FormTest, UnloadRemovesTheIconExactlyOnceHoweverOftenItIsAsked) {
  Load();
  for (int i = 0; i < 3; ++i) form.RaiseEvent([this] { form.Unload(); });
  EXPECT_EQ(host.IconsShown(), 0);
  EXPECT_EQ(host.shellCalls.size(), 2u);
  EXPECT_TRUE(host.destroyed);
  EXPECT_FALSE(form.loaded());
  EXPECT_FALSE(host.endedWith) << "an unload ends the process through the host, not through End";
}

// At sign-in, or while the shell is busy, the shell may refuse the icon: the
// launcher offers it again on its timer, quietly, until the shell takes it.
TEST_F(FormTest, AnIconTheShellRefusesIsOfferedAgainOnTheTimerUntilTaken) {
  host.shellAccepts = false;
  Load();
  EXPECT_EQ(journal.entries, (Entries{"Shell kobex.bat TASKBAR", "Invisible", "GetVersionExA", "ClaimSession", "NIM_ADD",
                                      "NIM_MODIFY", "TrayIconTimer 3000"}));
  const auto tick = [this] { form.RaiseEvent([this] { form.tmrTrayIcon_Timer(); }); };
  journal.entries.clear();
  tick();
  EXPECT_EQ(journal.entries, (Entries{"NIM_ADD", "NIM_MODIFY"})) << "refused again: the timer runs on";
  host.shellAccepts = true;
  journal.entries.clear();
  tick();
  EXPECT_EQ(journal.entries, (Entries{"NIM_ADD", "TrayIconTimer 0"}));
  journal.entries.clear();
  tick();  // one that was already queued
  EXPECT_EQ(journal.entries, (Entries{"TrayIconTimer 0"}));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_FALSE(host.endedWith);
}

// An add that timed out may still have been carried out: the shell then
// refuses the next add and takes the modification, and nothing waits any more.
TEST_F(FormTest, AnIconTheShellTookAfterAllStopsTheOffers) {
  host.shellAnswers = {false, false, false, true};
  Load();
  journal.entries.clear();
  form.RaiseEvent([this] { form.tmrTrayIcon_Timer(); });
  EXPECT_EQ(journal.entries, (Entries{"NIM_ADD", "NIM_MODIFY", "TrayIconTimer 0"}));
}

// The shell's answer is awaited with the window's messages handled: a close or
// the end of the session may unload the form meanwhile. Nothing more is asked
// of the gone window, no error is shown, and the icon is deleted once more in
// case that delete reached the shell before the add.
TEST_F(FormTest, AnUnloadWhileTheShellWeighsTheIconEndsTheOfferQuietly) {
  host.shellAccepts = false;
  bool closed = false;
  host.duringShellCall = [&](std::int32_t message) {
    if (message != 0 || closed) return;
    closed = true;
    form.RaiseEvent([this] { form.Unload(); });
  };
  Load();
  EXPECT_EQ(Entries(journal.entries.end() - 4, journal.entries.end()),
            (Entries{"NIM_ADD", "NIM_DELETE", "DestroyForm", "NIM_DELETE"}));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_FALSE(host.endedWith);
  EXPECT_EQ(host.trayIconTimerMs, 0u);
}

TEST_F(FormTest, AnUnloadWhileTheShellWeighsADisplayChangeEndsItQuietly) {
  Load();
  host.shellAccepts = false;
  host.duringShellCall = [this](std::int32_t message) {
    if (message == 1 && form.loaded()) form.RaiseEvent([this] { form.Unload(); });
  };
  form.RaiseEvent([this] { form.Display_Changed(); });
  EXPECT_EQ(host.shellCalls.back().message, 2);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_FALSE(host.endedWith);
}

// A notification area created anew while a tick's offer waits for the old
// one: the answer of the later offer stands, not the old shell's.
TEST_F(FormTest, AnOfferOvertakenByALaterOneLeavesTheTimerToIt) {
  host.shellAccepts = false;
  Load();
  bool created = false;
  host.duringShellCall = [&](std::int32_t message) {
    if (message != 0 || created) return;
    created = true;
    form.RaiseEvent([this] { form.Shell_TaskbarCreated(); });
  };
  host.shellAnswers = {false, false, true};  // the new tray's add and modify, then the old tray's add
  form.RaiseEvent([this] { form.tmrTrayIcon_Timer(); });
  EXPECT_EQ(host.trayIconTimerMs, kTrayIconRetryMs) << "the icon is still offered";
}

// A shell that has lost the icon without saying so refuses a modification:
// the icon is offered again.
TEST_F(FormTest, ADisplayChangeTheShellRefusesOffersTheIconAgain) {
  Load();
  host.shellAnswers = {false, false, false};
  journal.entries.clear();
  form.RaiseEvent([this] { form.Display_Changed(); });
  EXPECT_EQ(journal.entries, (Entries{"NIM_MODIFY", "NIM_ADD", "NIM_MODIFY", "TrayIconTimer 3000"}));
}

TEST_F(FormTest, AnIconStillWaitingIsDeletedAtTheUnloadAndOfferedNoMore) {
  host.shellAccepts = false;
  Load();
  form.RaiseEvent([this] { form.Unload(); });
  EXPECT_EQ(host.shellCalls.back().message, 2) << "the delete is still sent";
  const std::size_t calls = host.shellCalls.size();
  journal.entries.clear();
  form.RaiseEvent([this] { form.tmrTrayIcon_Timer(); });
  EXPECT_EQ(host.shellCalls.size(), calls);
  EXPECT_TRUE(journal.entries.empty()) << "the timer went with the form: nothing is asked of it";
}

TEST_F(FormTest, AFailedLaunchStopsStartUpAndEndsWithTheErrorsDescription) {
  host.shellCommandFails = Error("Cannot start the messaging client: file not found");
  Load();
  EXPECT_EQ(journal.entries,
            (Entries{"Shell kobex.bat TASKBAR", "MsgBox Cannot start the messaging client: file not found", "End 2"}));
  EXPECT_TRUE(host.shellCalls.empty()) << "no icon";
}

TEST_F(FormTest, AnErrorBeforeTheShellCallAbandonsTheAdd) {
  host.windowHandleFails = Error("no window");
  Load();
  EXPECT_TRUE(host.shellCalls.empty());
  EXPECT_EQ(host.messages, (Entries{"no window"}));
  EXPECT_EQ(host.endedWith, kExitError);
}

TEST_F(FormTest, AnErrorInAnEventAbandonsItsRestAndLeavesNoGhostIcon) {
  Load();
  web.onGet = [](const std::string&) { throw Error("The request could not be delivered."); };
  bool restRan = false;
  form.RaiseEvent([&] {
    form.SendClientCommand(ClientCommand::Exit);
    restRan = true;
    form.Unload();
  });
  EXPECT_FALSE(restRan);
  EXPECT_TRUE(form.loaded()) << "the unload after a failed request does not happen";
  const Entries tail(journal.entries.end() - 4, journal.entries.end());
  EXPECT_EQ(tail, (Entries{"GET /exit?", "NIM_DELETE",
                           "MsgBox The request could not be delivered.", "End 2"}));
  EXPECT_EQ(host.IconsShown(), 0);
}

TEST_F(FormTest, NoEventRunsOnceTheDefaultHandlingHasBegun) {
  Load();
  form.RaiseEvent([] { throw Error("Overflow"); });
  form.RaiseEvent([this] { form.SendClientCommand(ClientCommand::Show); });
  EXPECT_TRUE(web.paths.empty());
  EXPECT_EQ(host.messages.size(), 1u);
}

// The shell's answer to the delete is awaited with the window's sent messages
// flowing, so icon notifications that queued while /exit? was on its way (a
// press, a double-click) arrive then: the icon is on its way out, and neither
// a menu nor a request may follow the exit.
TEST_F(FormTest, NotificationsArrivingWhileTheIconIsRemovedAreNotActedOn) {
  Load();
  host.duringShellCall = [this](std::int32_t message) {
    if (message != NIM_DELETE) return;
    for (const std::int32_t code : {WM_RBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK}) {
      form.RaiseEvent([&] { form.Form_MouseMove(0, 0, static_cast<float>(code) * 15.0f, 0); });
    }
  };
  form.RaiseEvent([this] { form.mnuIM().mnuIMExit_Click(); });
  EXPECT_EQ(web.paths, (Entries{"/exit?"}));
  EXPECT_TRUE(host.menuShown.empty());
  EXPECT_TRUE(host.destroyed);
  EXPECT_FALSE(host.endedWith);
}

TEST_F(FormTest, AnErrorDuringTheUnloadStillEndsTheProgram) {
  Load();
  host.windowHandleFails = Error("window gone");
  form.RaiseEvent([this] { form.Unload(); });
  EXPECT_EQ(host.messages, (Entries{"window gone"}));
  EXPECT_EQ(host.endedWith, kExitError);
}

}  // namespace
}  // namespace kobex

namespace kobex {
namespace {

// A recreated tray may have lost the icon (the shell restarted) or still have
// it (the display's scale changed): an add for the one, a modification with the
// picture of now for the other, never a second icon.
TEST_F(FormTest, ARecreatedTrayGetsTheIconAgainWithThePictureOfNow) {
  Load();
  host.picture = 0x2B0C0999;  // loaded again for the display of now
  form.RaiseEvent([this] { form.Shell_TaskbarCreated(); });  // a shell that lost the icon
  ASSERT_EQ(host.shellCalls.size(), 2u);
  EXPECT_EQ(host.shellCalls[1].message, 0);
  EXPECT_EQ(GetU32LE(host.shellCalls[1].record, kOffHIcon), 0x2B0C0999u);

  host.shellCalls.resize(1);
  host.shellAnswers = {false, true};  // a shell that still has it refuses the add
  form.RaiseEvent([this] { form.Shell_TaskbarCreated(); });
  ASSERT_EQ(host.shellCalls.size(), 3u);
  EXPECT_EQ(host.trayIconTimerMs, 0u);
  EXPECT_EQ(host.shellCalls[1].message, 0);
  EXPECT_EQ(host.shellCalls[2].message, 1);
  EXPECT_EQ(GetU32LE(host.shellCalls[2].record, kOffHIcon), 0x2B0C0999u);
  NotifyIconRecord samePicture = host.shellCalls[0].record;
  PutU32LE(samePicture, kOffHIcon, 0x2B0C0999u);
  EXPECT_EQ(host.shellCalls[2].record, samePicture) << "only the picture differs from the first add";
}

TEST_F(FormTest, ADisplayChangeModifiesTheIconInPlace) {
  Load();
  host.picture = 0x2B0C0888;
  form.RaiseEvent([this] { form.Display_Changed(); });
  form.RaiseEvent([this] { form.Display_Changed(); });
  ASSERT_EQ(host.shellCalls.size(), 3u);
  EXPECT_EQ(host.shellCalls[1].message, 1);
  EXPECT_EQ(GetU32LE(host.shellCalls[1].record, kOffHIcon), 0x2B0C0888u);
  EXPECT_EQ(host.IconsShown(), 1);
  form.RaiseEvent([this] { form.Unload(); });
  form.RaiseEvent([this] { form.Display_Changed(); });
  EXPECT_EQ(host.shellCalls.back().message, 2) << "no icon is touched after the unload";
}

TEST_F(FormTest, AnAddRefusedAtStartUpIsMadeGoodByTheNextTrayCreationAtOnce) {
  host.shellAccepts = false;
  Load();
  host.shellAccepts = true;
  form.RaiseEvent([this] { form.Shell_TaskbarCreated(); });
  EXPECT_EQ(host.shellCalls.size(), 3u);
  EXPECT_EQ(host.shellCalls[2].message, 0);
  EXPECT_EQ(host.trayIconTimerMs, 0u);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(FormTest, NoIconComesBackAfterARefusedStartOrAnUnload) {
  host.majorVersion = 3;
  Load();
  form.RaiseEvent([this] { form.Shell_TaskbarCreated(); });
  form.RaiseEvent([this] { form.Display_Changed(); });
  EXPECT_TRUE(host.shellCalls.empty()) << "a refused start never shows an icon";

  Journal journal2;
  FakeHost host2(journal2);
  FakeWebControl web2(journal2);
  frmCorvane form2(host2, host2, web2);
  form2.RaiseEvent([&] { form2.Form_Load(); });
  form2.RaiseEvent([&] { form2.Unload(); });
  form2.RaiseEvent([&] { form2.Shell_TaskbarCreated(); });
  EXPECT_EQ(host2.IconsShown(), 0);
}

// Every way the launcher can end, the error exit included, deletes the icon it
// added: the Wine tray cleans up after a dead process, so only this shows a ghost.
TEST(NoGhostIcon, EveryWayOutDeletesTheIcon) {
  const std::vector<std::pair<std::string, std::function<void(frmCorvane&, FakeWebControl&)>>> ways = {
      {"close request", [](frmCorvane& f, FakeWebControl&) { f.RaiseEvent([&] { f.Unload(); }); }},
      {"Exit", [](frmCorvane& f, FakeWebControl&) { f.RaiseEvent([&] { f.mnuIM().mnuIMExit_Click(); }); }},
      {"failed request",
       [](frmCorvane& f, FakeWebControl& web) {
         web.onGet = [](const std::string&) { throw Error("refused"); };
         f.RaiseEvent([&] { f.mnuIM().mnuIMOpen_Click(); });
       }},
      {"failed Exit",
       [](frmCorvane& f, FakeWebControl& web) {
         web.onGet = [](const std::string&) { throw Error("timed out"); };
         f.RaiseEvent([&] { f.mnuIM().mnuIMExit_Click(); });
       }},
      {"allocation failing in an event",
       [](frmCorvane& f, FakeWebControl& web) {
         web.onGet = [](const std::string&) { throw std::bad_alloc(); };
         f.RaiseEvent([&] { f.mnuIM().mnuIMOpen_Click(); });
       }},
      {"error in the dispatch",
       [](frmCorvane& f, FakeWebControl&) { f.RaiseEvent([&] { f.Form_MouseMove(0, 0, kNaNForTests(), 0); }); }},
      {"end of session after a tray restart",
       [](frmCorvane& f, FakeWebControl&) {
         f.RaiseEvent([&] { f.Shell_TaskbarCreated(); });
         f.RaiseEvent([&] { f.Unload(); });
       }},
  };
  for (const auto& [name, way] : ways) {
    Journal journal;
    FakeHost host(journal);
    FakeWebControl web(journal);
    frmCorvane form(host, host, web);
    form.RaiseEvent([&] { form.Form_Load(); });
    way(form, web);
    EXPECT_EQ(host.shellCalls.back().message, 2) << name;
    int deletes = 0;
    for (const auto& call : host.shellCalls) deletes += call.message == 2;
    EXPECT_EQ(deletes, 1) << name << ": the icon is deleted exactly once";
  }
}

}  // namespace
}  // namespace kobex
