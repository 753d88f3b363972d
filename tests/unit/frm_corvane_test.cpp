#include "tray/frm_corvane.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "fakes.h"
#include "tray/notify_dispatch.h"
#include "tray/notify_icon.h"

namespace kobex {
namespace {

using namespace testing;  // NOLINT(google-build-using-namespace): the fakes' steps
using Strings = std::vector<std::string>;
using Codes = std::vector<std::int64_t>;

// The design's words and bounds, written out: the end-to-end tests take them from the program.
const Step kRefusal = Box("This program requires Windows 95 or later, or Windows NT 4.0 or later.");
constexpr std::uint32_t kRetryMs = 3000;

const Steps kIconAdded{kLaunch, Op::Invisible, Op::GetVersionExA, Op::ClaimSession, Nim(NIM_ADD)};

TEST_F(FormTest, StartsTheClientHidesAndAddsTheIconInThatOrder) {
  Load();
  EXPECT_EQ(journal.steps, kIconAdded);
}

TEST_F(FormTest, ASecondLauncherInTheSessionStartsTheClientAndEndsWithoutAnIcon) {
  host.anotherLauncherRuns = true;
  Load();
  EXPECT_EQ(journal.steps, (Steps{kLaunch, Op::Invisible, Op::GetVersionExA, Op::ClaimSession,
                                  Ended(kExitAnotherRuns)}));
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
    EXPECT_EQ(journal.steps,
              (Steps{kLaunch, Op::Invisible, Op::GetVersionExA, kRefusal, Ended(kExitRefused)}));
  } else {
    EXPECT_EQ(journal.steps, kIconAdded);
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
  Raise(&frmCorvane::Unload);
  EXPECT_EQ(shellCalls(), (Codes{NIM_ADD, NIM_DELETE}));
  ASSERT_EQ(host.records.size(), 2u);
  EXPECT_EQ(host.records[0], host.records[1]);
  EXPECT_EQ(GetU32LE(host.records[0], 4), 0x00010F2Au) << "the form's window";
  EXPECT_EQ(GetU32LE(host.records[0], kOffHIcon), 0x2B0C0411u) << "quenzicon's picture";
}

TEST_F(FormTest, UnloadRemovesTheIconExactlyOnceHoweverOftenItIsAsked) {
  Load();
  for (int i = 0; i < 3; ++i) Raise(&frmCorvane::Unload);
  EXPECT_EQ(journal.Tail(2), (Steps{Nim(NIM_DELETE), Op::DestroyForm}));
  EXPECT_EQ(shellCalls(), (Codes{NIM_ADD, NIM_DELETE}));
  EXPECT_FALSE(form.loaded());
  EXPECT_FALSE(endedWith()) << "an unload ends the process through the host, not through End";
}

// At sign-in, or while the shell is busy, the shell may refuse the icon: the
// launcher offers it again on its timer, quietly, until the shell takes it.
TEST_F(FormTest, AnIconTheShellRefusesIsOfferedAgainOnTheTimerUntilTaken) {
  host.shellAccepts = false;
  Load();
  EXPECT_EQ(journal.steps, (Steps{kLaunch, Op::Invisible, Op::GetVersionExA, Op::ClaimSession, Nim(NIM_ADD),
                                  Nim(NIM_MODIFY), Timer(kRetryMs)}));
  const auto tick = [this](const Steps& expected, const char* what) {
    journal.steps.clear();
    Raise(&frmCorvane::tmrTrayIcon_Timer);
    EXPECT_EQ(journal.steps, expected) << what;
  };
  tick({Nim(NIM_ADD), Nim(NIM_MODIFY)}, "refused again: the timer runs on");
  host.shellAccepts = true;
  tick({Nim(NIM_ADD), Timer(0)}, "taken: the timer stops");
  tick({Timer(0)}, "a tick that was already queued");
}

// An add that timed out may still have been carried out: the shell then
// refuses the next add and takes the modification, and nothing waits any more.
TEST_F(FormTest, AnIconTheShellTookAfterAllStopsTheOffers) {
  host.shellAnswers = {false, false, false, true};
  Load();
  journal.steps.clear();
  Raise(&frmCorvane::tmrTrayIcon_Timer);
  EXPECT_EQ(journal.steps, (Steps{Nim(NIM_ADD), Nim(NIM_MODIFY), Timer(0)}));
}

// The shell's answer is awaited with the window's messages handled: a close or
// the end of the session may unload the form meanwhile. Nothing more is asked
// of the gone window, no error is shown, and the icon is deleted once more in
// case that delete reached the shell before the add.
TEST_F(FormTest, AnUnloadWhileTheShellWeighsTheIconEndsTheOfferQuietly) {
  host.shellAccepts = false;
  host.duringShellCall = [this](std::int32_t message) {
    if (message == NIM_ADD && form.loaded()) Raise(&frmCorvane::Unload);
  };
  Load();
  EXPECT_EQ(journal.Tail(4), (Steps{Nim(NIM_ADD), Nim(NIM_DELETE), Op::DestroyForm, Nim(NIM_DELETE)}));
  EXPECT_EQ(timerMs(), 0u);
}

TEST_F(FormTest, AnUnloadWhileTheShellWeighsADisplayChangeEndsItQuietly) {
  Load();
  host.shellAccepts = false;
  host.duringShellCall = [this](std::int32_t message) {
    if (message == NIM_MODIFY && form.loaded()) Raise(&frmCorvane::Unload);
  };
  Raise(&frmCorvane::Display_Changed);
  EXPECT_EQ(journal.Tail(3), (Steps{Nim(NIM_MODIFY), Nim(NIM_DELETE), Op::DestroyForm}));
}

// A notification area created anew while a tick's offer waits for the old
// one: the answer of the later offer stands, not the old shell's.
TEST_F(FormTest, AnOfferOvertakenByALaterOneLeavesTheTimerToIt) {
  host.shellAccepts = false;
  Load();
  bool created = false;
  host.duringShellCall = [&](std::int32_t message) {
    if (message != NIM_ADD || created) return;
    created = true;
    Raise(&frmCorvane::Shell_TaskbarCreated);
  };
  host.shellAnswers = {false, false, true};  // the new tray's add and modify, then the old tray's add
  Raise(&frmCorvane::tmrTrayIcon_Timer);
  EXPECT_EQ(timerMs(), kTrayIconRetryMs) << "the icon is still offered";
}

// A shell that has lost the icon without saying so refuses a modification:
// the icon is offered again.
TEST_F(FormTest, ADisplayChangeTheShellRefusesOffersTheIconAgain) {
  Load();
  host.shellAnswers = {false, false, false};
  journal.steps.clear();
  Raise(&frmCorvane::Display_Changed);
  EXPECT_EQ(journal.steps, (Steps{Nim(NIM_MODIFY), Nim(NIM_ADD), Nim(NIM_MODIFY), Timer(kRetryMs)}));
}

TEST_F(FormTest, AnIconStillWaitingIsDeletedAtTheUnloadAndOfferedNoMore) {
  host.shellAccepts = false;
  Load();
  Raise(&frmCorvane::Unload);
  EXPECT_EQ(journal.Tail(2), (Steps{Nim(NIM_DELETE), Op::DestroyForm})) << "the delete is still sent";
  journal.steps.clear();
  Raise(&frmCorvane::tmrTrayIcon_Timer);
  EXPECT_TRUE(journal.steps.empty()) << "the timer went with the form: nothing is asked of it";
}

TEST_F(FormTest, AFailedLaunchStopsStartUpAndEndsWithTheErrorsDescription) {
  host.shellCommandFails = Error("Cannot start the messaging client: file not found");
  Load();
  EXPECT_EQ(journal.steps,
            (Steps{kLaunch, Box("Cannot start the messaging client: file not found"), Ended(kExitError)}));
}

TEST_F(FormTest, AnErrorBeforeTheShellCallAbandonsTheAdd) {
  host.windowHandleFails = Error("no window");
  Load();
  EXPECT_EQ(journal.steps, (Steps{kLaunch, Op::Invisible, Op::GetVersionExA, Op::ClaimSession, Box("no window"),
                                  Ended(kExitError)}));
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
  EXPECT_EQ(journal.Tail(4), (Steps{Get("/exit?"), Nim(NIM_DELETE), Box("The request could not be delivered."),
                                    Ended(kExitError)}));
  EXPECT_EQ(IconsShown(), 0);
}

TEST_F(FormTest, NoEventRunsOnceTheDefaultHandlingHasBegun) {
  Load();
  form.RaiseEvent([] { throw Error("Overflow"); });
  form.RaiseEvent([this] { form.SendClientCommand(ClientCommand::Show); });
  EXPECT_TRUE(paths().empty());
  EXPECT_EQ(messages(), (Strings{"Overflow"}));
}

// The shell's answer to the delete is awaited with the window's sent messages
// flowing, so icon notifications that queued while /exit? was on its way (a
// press, a double-click) arrive then: the icon is on its way out, and neither
// a menu nor a request may follow the exit.
TEST_F(FormTest, NotificationsArrivingWhileTheIconIsRemovedAreNotActedOn) {
  Load();
  host.duringShellCall = [this](std::int32_t message) {
    if (message != NIM_DELETE) return;
    for (const std::int32_t code : {WM_RBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK}) Notify(code);
  };
  form.RaiseEvent([this] { form.mnuIM().mnuIMExit_Click(); });
  EXPECT_EQ(journal.Tail(3), (Steps{Get("/exit?"), Nim(NIM_DELETE), Op::DestroyForm}));
  EXPECT_FALSE(journal.Has(Op::PopupMenu));
}

TEST_F(FormTest, AnErrorDuringTheUnloadStillEndsTheProgram) {
  Load();
  host.windowHandleFails = Error("window gone");
  Raise(&frmCorvane::Unload);
  EXPECT_EQ(journal.Tail(2), (Steps{Box("window gone"), Ended(kExitError)}));
}

// A recreated tray may have lost the icon (the shell restarted) or still have
// it (the display's scale changed): an add for the one, a modification with the
// picture of now for the other, never a second icon.
TEST_F(FormTest, ARecreatedTrayGetsTheIconAgainWithThePictureOfNow) {
  Load();
  host.picture = 0x2B0C0999;  // loaded again for the display of now
  Raise(&frmCorvane::Shell_TaskbarCreated);  // a shell that lost the icon
  host.shellAnswers = {false, true};  // a shell that still has it refuses the add
  Raise(&frmCorvane::Shell_TaskbarCreated);
  EXPECT_EQ(shellCalls(), (Codes{NIM_ADD, NIM_ADD, NIM_ADD, NIM_MODIFY}));
  EXPECT_EQ(timerMs(), 0u);
  NotifyIconRecord samePicture = host.records[0];
  PutU32LE(samePicture, kOffHIcon, 0x2B0C0999u);
  for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(host.records[i], samePicture) << "only the picture differs, call " << i;
}

TEST_F(FormTest, ADisplayChangeModifiesTheIconInPlace) {
  Load();
  host.picture = 0x2B0C0888;
  Raise(&frmCorvane::Display_Changed);
  Raise(&frmCorvane::Display_Changed);
  EXPECT_EQ(shellCalls(), (Codes{NIM_ADD, NIM_MODIFY, NIM_MODIFY}));
  EXPECT_EQ(GetU32LE(host.records[1], kOffHIcon), 0x2B0C0888u);
  Raise(&frmCorvane::Unload);
  Raise(&frmCorvane::Display_Changed);
  EXPECT_EQ(shellCalls().back(), NIM_DELETE) << "no icon is touched after the unload";
}

TEST_F(FormTest, AnAddRefusedAtStartUpIsMadeGoodByTheNextTrayCreationAtOnce) {
  host.shellAccepts = false;
  Load();
  host.shellAccepts = true;
  journal.steps.clear();
  Raise(&frmCorvane::Shell_TaskbarCreated);
  EXPECT_EQ(journal.steps, (Steps{Nim(NIM_ADD), Timer(0)}));
}

TEST_F(FormTest, NoIconComesBackAfterARefusedStartOrAnUnload) {
  host.majorVersion = 3;
  Load();
  Raise(&frmCorvane::Shell_TaskbarCreated);
  Raise(&frmCorvane::Display_Changed);
  EXPECT_TRUE(shellCalls().empty()) << "a refused start never shows an icon";

  Rig other;
  other.Load();
  other.Raise(&frmCorvane::Unload);
  other.Raise(&frmCorvane::Shell_TaskbarCreated);
  EXPECT_EQ(other.IconsShown(), 0);
}

// Every way the launcher can end, the error exit included, deletes the icon it
// added: the Wine tray cleans up after a dead process, so only this shows a ghost.
TEST(NoGhostIcon, EveryWayOutDeletesTheIcon) {
  const auto failing = [](auto error) { return [error](const std::string&) { throw error; }; };
  const auto choose = [](Rig& r, void (TrayMenu::*item)()) { r.form.RaiseEvent([&] { (r.form.mnuIM().*item)(); }); };
  const std::vector<std::pair<std::string, std::function<void(Rig&)>>> ways = {
      {"close request", [](Rig& r) { r.Raise(&frmCorvane::Unload); }},
      {"Exit", [&](Rig& r) { choose(r, &TrayMenu::mnuIMExit_Click); }},
      {"failed request",
       [&](Rig& r) { r.web.onGet = failing(Error("refused")); choose(r, &TrayMenu::mnuIMOpen_Click); }},
      {"failed Exit",
       [&](Rig& r) { r.web.onGet = failing(Error("timed out")); choose(r, &TrayMenu::mnuIMExit_Click); }},
      {"allocation failing in an event",
       [&](Rig& r) { r.web.onGet = failing(std::bad_alloc()); choose(r, &TrayMenu::mnuIMOpen_Click); }},
      {"error in the dispatch",
       [](Rig& r) { r.form.RaiseEvent([&] { r.form.Form_MouseMove(0, 0, std::nanf(""), 0); }); }},
      {"end of session after a tray restart",
       [](Rig& r) { r.Raise(&frmCorvane::Shell_TaskbarCreated); r.Raise(&frmCorvane::Unload); }},
  };
  for (const auto& [name, way] : ways) {
    Rig rig;
    rig.Load();
    way(rig);
    const Codes calls = rig.shellCalls();
    EXPECT_EQ(calls.back(), NIM_DELETE) << name;
    EXPECT_EQ(std::count(calls.begin(), calls.end(), NIM_DELETE), 1) << name << ": the icon is deleted exactly once";
  }
}

}  // namespace
}  // namespace kobex
