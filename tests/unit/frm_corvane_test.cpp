#include "tray/frm_corvane.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "fakes.h"
#include "tray/notify_dispatch.h"
#include "tray/notify_icon.h"

namespace kobex {
namespace {

using namespace testing;  // NOLINT(google-build-using-namespace): the fakes' steps

// The design's words and bounds, written out: the end-to-end tests take them from the program.
const Step kRefusal = Box("This program requires Windows 95 or later, or Windows NT 4.0 or later.");
constexpr std::uint32_t kRetryMs = 3000;

const Steps kClaimed{kLaunch, Op::Invisible, Op::GetVersionExA, Op::ClaimSession};
Steps Then(Steps steps, const Steps& more) {
  steps.insert(steps.end(), more.begin(), more.end());
  return steps;
}

TEST(FormLoad, StartsTheClientThenRefusesBelowFourEndsBesideAnotherLauncherOrAddsTheIcon) {
  const Steps refused{kLaunch, Op::Invisible, Op::GetVersionExA, kRefusal, Ended(kExitRefused)};
  const Steps added = Then(kClaimed, {Nim(NIM_ADD)});
  // The major version is read as signed, and a failed query leaves zeros: both are refused.
  const struct { std::uint32_t major; bool querySucceeds, anotherRuns; Steps expected; } cases[] = {
      {6, true, false, added}, {4, true, false, added}, {10, true, false, added}, {3, true, false, refused},
      {0, true, false, refused}, {0x80000000u, true, false, refused}, {0xFFFFFFFFu, true, false, refused},
      {6, false, false, refused}, {6, true, true, Then(kClaimed, {Ended(kExitAnotherRuns)})}};
  for (const auto& c : cases) {
    Rig rig;
    rig.host.majorVersion = c.major;
    rig.host.versionQuerySucceeds = c.querySucceeds;
    rig.host.anotherLauncherRuns = c.anotherRuns;
    rig.Load();
    EXPECT_EQ(rig.host.versionRecordSeen, OsVersionRecord{148}) << "the record's size, the rest zeros";
    EXPECT_EQ(rig.journal, c.expected) << "major " << c.major << (c.querySucceeds ? "" : ", query failed")
                                       << (c.anotherRuns ? ", another launcher runs" : "");
  }
}

TEST_F(FormTest, UnloadRemovesTheIconExactlyOnceHoweverOftenItIsAsked) {
  Load();
  for (int i = 0; i < 3; ++i) Raise(&frmCorvane::Unload);
  EXPECT_EQ(journal, Then(kClaimed, {Nim(NIM_ADD), Nim(NIM_DELETE), Op::DestroyForm}));
  EXPECT_FALSE(form.loaded());
  EXPECT_EQ(host.records.at(0), host.records.at(1));
  EXPECT_EQ(GetU32LE(host.records[0], 4), 0x00010F2Au) << "the form's window";
  EXPECT_EQ(GetU32LE(host.records[0], kOffHIcon), 0x2B0C0411u) << "quenzicon's picture";
}

// At sign-in, or while busy, the shell may refuse the icon: it is offered again on the timer, quietly.
TEST_F(FormTest, AnIconTheShellRefusesIsOfferedAgainOnTheTimerUntilTaken) {
  host.shellAccepts = false;
  Load();
  EXPECT_EQ(journal, Then(kClaimed, {Nim(NIM_ADD), Nim(NIM_MODIFY), Timer(kRetryMs)}));
  const auto tick = &frmCorvane::tmrTrayIcon_Timer;
  EXPECT_EQ(StepsOf(tick), (Steps{Nim(NIM_ADD), Nim(NIM_MODIFY)})) << "refused again: the timer runs on";
  host.shellAccepts = true;
  EXPECT_EQ(StepsOf(tick), (Steps{Nim(NIM_ADD), Timer(0)})) << "taken: the timer stops";
  EXPECT_EQ(StepsOf(tick), Steps{Timer(0)}) << "a tick that was already queued";
}

// An add that timed out may have been carried out: the shell refuses the next add and takes the modification.
TEST_F(FormTest, AnIconTheShellTookAfterAllStopsTheOffers) {
  host.shellAnswers = {false, false, false, true};
  Load();
  EXPECT_EQ(StepsOf(&frmCorvane::tmrTrayIcon_Timer), (Steps{Nim(NIM_ADD), Nim(NIM_MODIFY), Timer(0)}));
}

// The form may unload while the shell weighs the add: the icon is deleted again in case that delete came first.
TEST_F(FormTest, AnUnloadWhileTheShellWeighsTheIconEndsTheOfferQuietly) {
  host.shellAccepts = false;
  UnloadDuring(NIM_ADD);
  Load();
  EXPECT_EQ(journal, Then(kClaimed, {Nim(NIM_ADD), Nim(NIM_DELETE), Op::DestroyForm, Nim(NIM_DELETE)}));
}

TEST_F(FormTest, AnUnloadWhileTheShellWeighsADisplayChangeEndsItQuietly) {
  Load();
  host.shellAccepts = false;
  UnloadDuring(NIM_MODIFY);
  Raise(&frmCorvane::Display_Changed);
  EXPECT_EQ(journal, Then(kClaimed, {Nim(NIM_ADD), Nim(NIM_MODIFY), Nim(NIM_DELETE), Op::DestroyForm}));
}

// A tray created anew while a tick's offer waits for the old one: the later offer's answer stands.
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
  EXPECT_EQ(Numbers(journal, Op::TrayIconTimer), (Codes{kRetryMs})) << "the icon is still offered";
}

// A shell that has lost the icon without saying so refuses a modification: the icon is offered again.
TEST_F(FormTest, ADisplayChangeTheShellRefusesOffersTheIconAgain) {
  Load();
  host.shellAnswers = {false, false, false};
  EXPECT_EQ(StepsOf(&frmCorvane::Display_Changed),
            (Steps{Nim(NIM_MODIFY), Nim(NIM_ADD), Nim(NIM_MODIFY), Timer(kRetryMs)}));
}

TEST_F(FormTest, AnIconStillWaitingIsDeletedAtTheUnloadAndOfferedNoMore) {
  host.shellAccepts = false;
  Load();
  Raise(&frmCorvane::Unload);
  Raise(&frmCorvane::tmrTrayIcon_Timer);
  EXPECT_EQ(journal,
            Then(kClaimed, {Nim(NIM_ADD), Nim(NIM_MODIFY), Timer(kRetryMs), Nim(NIM_DELETE), Op::DestroyForm}));
}

TEST_F(FormTest, AFailedLaunchStopsStartUpAndEndsWithTheErrorsDescription) {
  host.shellCommandFails = Error("Cannot start the messaging client: file not found");
  Load();
  EXPECT_EQ(journal, (Steps{kLaunch, Box(host.shellCommandFails->what()), Ended(kExitError)}));
}

TEST_F(FormTest, AnErrorBeforeTheShellCallAbandonsTheAdd) {
  host.windowHandleFails = Error("no window");
  Load();
  EXPECT_EQ(journal, Then(kClaimed, {Box("no window"), Ended(kExitError)}));
}

TEST_F(FormTest, AnErrorInAnEventAbandonsItsRestAndLeavesNoGhostIcon) {
  Load();
  host.onGet = [](const std::string&) { throw Error("The request could not be delivered."); };
  form.RaiseEvent([&] {
    form.SendClientCommand(ClientCommand::Exit);
    form.Unload();
    ADD_FAILURE() << "the event ran on after its error";
  });
  EXPECT_TRUE(form.loaded()) << "the unload after a failed request does not happen";
  EXPECT_EQ(journal, Then(kClaimed, {Nim(NIM_ADD), Get("/exit?"), Nim(NIM_DELETE),
                                           Box("The request could not be delivered."), Ended(kExitError)}));
}

TEST_F(FormTest, NoEventRunsOnceTheDefaultHandlingHasBegun) {
  Load();
  form.RaiseEvent([] { throw Error("Overflow"); });
  form.RaiseEvent([this] { form.SendClientCommand(ClientCommand::Show); });
  EXPECT_EQ(journal, Then(kClaimed, {Nim(NIM_ADD), Nim(NIM_DELETE), Box("Overflow"), Ended(kExitError)}));
}

// Notifications queued while /exit? was on its way arrive while the delete is awaited: none may act.
TEST_F(FormTest, NotificationsArrivingWhileTheIconIsRemovedAreNotActedOn) {
  Load();
  host.duringShellCall = [this](std::int32_t message) {
    if (message != NIM_DELETE) return;
    for (const std::int32_t code : {WM_RBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK}) Notify(code);
  };
  form.RaiseEvent([this] { form.mnuIM().mnuIMExit_Click(); });
  EXPECT_EQ(journal, Then(kClaimed, {Nim(NIM_ADD), Get("/exit?"), Nim(NIM_DELETE), Op::DestroyForm}));
}

TEST_F(FormTest, AnErrorDuringTheUnloadStillEndsTheProgram) {
  Load();
  host.windowHandleFails = Error("window gone");
  Raise(&frmCorvane::Unload);
  EXPECT_EQ(journal, Then(kClaimed, {Nim(NIM_ADD), Box("window gone"), Ended(kExitError)}));
}

// A recreated tray may have lost the icon (add it) or still have it (a new scale: modify it), never two icons.
TEST_F(FormTest, ARecreatedTrayGetsTheIconAgainWithThePictureOfNow) {
  Load();
  host.picture = 0x2B0C0999;
  Raise(&frmCorvane::Shell_TaskbarCreated);
  host.shellAnswers = {false, true};
  Raise(&frmCorvane::Shell_TaskbarCreated);
  EXPECT_EQ(shellCalls(), (Codes{NIM_ADD, NIM_ADD, NIM_ADD, NIM_MODIFY}));
  const Codes timer = Numbers(journal, Op::TrayIconTimer);
  EXPECT_TRUE(timer.empty() || timer.back() == 0) << "no offer waits";
  NotifyIconRecord samePicture = host.records.at(0);
  PutU32LE(samePicture, kOffHIcon, 0x2B0C0999u);
  for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(host.records.at(i), samePicture) << "only the picture differs: " << i;
}

TEST_F(FormTest, ADisplayChangeModifiesTheIconInPlace) {
  Load();
  host.picture = 0x2B0C0888;
  Raise(&frmCorvane::Display_Changed);
  Raise(&frmCorvane::Display_Changed);
  EXPECT_EQ(GetU32LE(host.records.at(1), kOffHIcon), 0x2B0C0888u);
  Raise(&frmCorvane::Unload);
  Raise(&frmCorvane::Display_Changed);
  EXPECT_EQ(shellCalls(), (Codes{NIM_ADD, NIM_MODIFY, NIM_MODIFY, NIM_DELETE})) << "none after the unload";
}

TEST_F(FormTest, AnAddRefusedAtStartUpIsMadeGoodByTheNextTrayCreationAtOnce) {
  host.shellAccepts = false;
  Load();
  host.shellAccepts = true;
  EXPECT_EQ(StepsOf(&frmCorvane::Shell_TaskbarCreated), (Steps{Nim(NIM_ADD), Timer(0)}));
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
  EXPECT_EQ(other.shellCalls(), (Codes{NIM_ADD, NIM_DELETE}));
}

// The Wine tray cleans up after a dead process, so only this shows a ghost icon left by a way out.
TEST(NoGhostIcon, EveryWayOutDeletesTheIcon) {
  const auto choose = [](Rig& r, void (TrayMenu::*item)()) { r.form.RaiseEvent([&] { (r.form.mnuIM().*item)(); }); };
  const auto failed = [&](auto error, void (TrayMenu::*item)()) {
    return [=](Rig& r) { r.host.onGet = [error](const std::string&) { throw error; }; choose(r, item); };
  };
  const std::vector<std::pair<std::string, std::function<void(Rig&)>>> ways = {
      {"close request", [](Rig& r) { r.Raise(&frmCorvane::Unload); }},
      {"Exit", [&](Rig& r) { choose(r, &TrayMenu::mnuIMExit_Click); }},
      {"failed request", failed(Error("refused"), &TrayMenu::mnuIMOpen_Click)},
      {"failed Exit", failed(Error("timed out"), &TrayMenu::mnuIMExit_Click)},
      {"allocation failing in an event", failed(std::bad_alloc(), &TrayMenu::mnuIMOpen_Click)},
      {"failed dispatch", [](Rig& r) { r.form.RaiseEvent([&] { r.form.Form_MouseMove(0, 0, std::nanf(""), 0); }); }},
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
