// Fakes of the platform for the core's unit tests, and the main form on them. Every call goes once
// into one journal of typed steps, so tests check the order of steps across the platform's interfaces.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "platform/error.h"
#include "platform/host.h"
#include "platform/web_control.h"
#include "tray/frm_corvane.h"
#include "tray/notify_icon.h"

namespace kobex::testing {

enum class Op {
  Shell, Visible, Invisible, GetVersionExA, ClaimSession, MsgBox, End, DestroyForm, TrayIconTimer,
  PopupMenu, ShowAbout, AboutReturned, CloseAbout, ActivateAbout, NotifyIcon, Get,
};

// One call: its code or number (End, TrayIconTimer, NotifyIcon) or its text (Shell, MsgBox, Get).
struct Step {
  Step(Op o, std::int64_t n = 0, std::string t = {}) : op(o), number(n), text(std::move(t)) {}  // NOLINT
  Op op;
  std::int64_t number;
  std::string text;
  bool operator==(const Step& o) const { return op == o.op && number == o.number && text == o.text; }
};
using Steps = std::vector<Step>;
using Codes = std::vector<std::int64_t>;

inline Step Nim(std::int32_t message) { return {Op::NotifyIcon, message}; }
inline Step Get(std::string_view path) { return {Op::Get, 0, std::string(path)}; }
inline Step Box(std::string_view text) { return {Op::MsgBox, 0, std::string(text)}; }
inline Step Ended(int code) { return {Op::End, code}; }
inline Step Timer(std::uint32_t ms) { return {Op::TrayIconTimer, ms}; }
inline const Step kLaunch{Op::Shell, 0, "kobex.bat TASKBAR"};  // the design's, not copied from the program

inline void PrintTo(const Step& s, std::ostream* os) {
  static const char* const names[] = {"Shell", "Visible", "Invisible", "GetVersionExA", "ClaimSession", "MsgBox",
                                      "End", "DestroyForm", "TrayIconTimer", "PopupMenu", "ShowAbout",
                                      "AboutReturned", "CloseAbout", "ActivateAbout", "NIM_", "GET"};
  *os << names[static_cast<int>(s.op)];
  if (s.op == Op::NotifyIcon) {
    *os << (s.number == NIM_ADD ? "ADD" : s.number == NIM_MODIFY ? "MODIFY" : s.number == NIM_DELETE ? "DELETE" : "?");
  } else if (s.op == Op::End || s.op == Op::TrayIconTimer) {
    *os << ' ' << s.number;
  }
  if (!s.text.empty()) *os << ' ' << s.text;
}

inline Codes Numbers(const Steps& journal, Op op) {
  Codes numbers;
  for (const Step& s : journal) {
    if (s.op == op) numbers.push_back(s.number);
  }
  return numbers;
}

class FakeHost : public Host, public NotifyArea, public WebControl {
 public:
  explicit FakeHost(Steps& journal) : journal_(journal) {}

  // What the fake system reports and how it fails.
  std::uint32_t majorVersion = 6;
  bool versionQuerySucceeds = true;
  bool anotherLauncherRuns = false;
  std::uint32_t picture = 0x2B0C0411;
  bool shellAccepts = true;
  std::deque<bool> shellAnswers;  // the shell's next answers, before shellAccepts holds again
  std::optional<Error> shellCommandFails;
  std::optional<Error> windowHandleFails;
  float twipsPerPixelX = 15.0f;
  std::string menuChoice;  // the user's answer to the next popup: an item's name, or "" to dismiss
  std::function<void(AboutEvents&)> whileAboutOpen;  // then the box is closed with OK
  std::function<void(std::int32_t message)> duringShellCall;  // reaches the window while the shell answers
  std::function<void(const std::string&)> onGet;  // may throw to fail the request

  // What the program handed over, beside the journal's steps.
  std::vector<NotifyIconRecord> records;  // one a NotifyIcon step
  OsVersionRecord versionRecordSeen{};
  std::vector<MenuEntry> menuShown;
  std::size_t menuDefault = 0;

  void Shell(const std::string& commandLine) override {
    journal_.push_back({Op::Shell, 0, commandLine});
    if (shellCommandFails) throw *shellCommandFails;
  }
  void SetVisible(bool v) override { journal_.push_back(v ? Op::Visible : Op::Invisible); }
  bool GetVersionExA(OsVersionRecord& record) override {
    journal_.push_back(Op::GetVersionExA);
    versionRecordSeen = record;
    if (versionQuerySucceeds) PutU32LE(record, 4, majorVersion);
    return versionQuerySucceeds;
  }
  bool ClaimSession() override {
    journal_.push_back(Op::ClaimSession);
    return !anotherLauncherRuns;
  }
  void MsgBox(const std::string& text, MsgBoxIcon) override { journal_.push_back(Box(text)); }
  void End(int exitCode) override { journal_.push_back(Ended(exitCode)); }
  void DestroyForm() override { journal_.push_back(Op::DestroyForm); }
  void SetTrayIconTimer(std::uint32_t intervalMs) override { journal_.push_back(Timer(intervalMs)); }
  std::uint32_t hWnd() override {
    if (windowHandleFails) throw *windowHandleFails;
    // As the real host: a destroyed window has no handle.
    if (!Numbers(journal_, Op::DestroyForm).empty()) throw Error("The main window does not exist.");
    return 0x00010F2A;
  }
  std::uint32_t QuenziconPicture() override { return picture; }
  float TwipsPerPixelX() override { return twipsPerPixelX; }
  float TwipsPerPixelY() override { return 15.0f; }

  std::optional<std::size_t> PopupMenu(const std::vector<MenuEntry>& entries, std::size_t defaultItem) override {
    journal_.push_back(Op::PopupMenu);
    menuShown = entries;
    menuDefault = defaultItem;
    const std::string choice = std::exchange(menuChoice, "");
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (entries[i].name == choice) return i;
    }
    return std::nullopt;
  }

  void ShowAboutModal(const AboutWindow&, AboutEvents& events) override {
    journal_.push_back(Op::ShowAbout);
    // The form says whether the box is open; the box ends on CloseAbout.
    if (!events.IsLoaded()) throw Error("About shown by a form that is not loaded");
    aboutClosed_ = false;
    if (whileAboutOpen) whileAboutOpen(events);
    if (events.IsLoaded()) events.cmdOK_Click();  // the user presses OK
    if (events.IsLoaded() || !aboutClosed_) throw Error("OK did not close the About box");
    journal_.push_back(Op::AboutReturned);
  }
  void CloseAbout() override {
    journal_.push_back(Op::CloseAbout);
    aboutClosed_ = true;
  }
  void ActivateAbout() override { journal_.push_back(Op::ActivateAbout); }

  bool Shell_NotifyIconA(std::int32_t message, const NotifyIconRecord& record) override {
    journal_.push_back(Nim(message));
    records.push_back(record);
    if (duringShellCall) duringShellCall(message);
    if (shellAnswers.empty()) return shellAccepts;
    const bool answer = shellAnswers.front();
    shellAnswers.pop_front();
    return answer;
  }

  void Get(std::string_view path) override {
    journal_.push_back(testing::Get(path));
    if (onGet) onGet(std::string(path));
  }

 private:
  Steps& journal_;
  bool aboutClosed_ = false;
};

// The main form on the fakes, and what the journal tells of it.
struct Rig {
  Steps journal;
  FakeHost host{journal};
  frmCorvane form{host, host, host};

  void Raise(void (frmCorvane::*event)()) {
    form.RaiseEvent([&] { (form.*event)(); });
  }
  void Load() { Raise(&frmCorvane::Form_Load); }
  // The callback for mouse message CODE, as the shell sends it at 15 twips a pixel.
  void Notify(std::int32_t code) {
    form.RaiseEvent([&] { form.Form_MouseMove(0, 0, static_cast<float>(code) * 15.0f, 0); });
  }
  // The form unloads while the shell weighs a call with this MESSAGE.
  void UnloadDuring(std::int32_t message) {
    host.duringShellCall = [this, message](std::int32_t m) {
      if (m == message && form.loaded()) Raise(&frmCorvane::Unload);
    };
  }
  // The steps that EVENT alone takes.
  Steps StepsOf(void (frmCorvane::*event)()) {
    journal.clear();
    Raise(event);
    return journal;
  }
  Codes shellCalls() const { return Numbers(journal, Op::NotifyIcon); }
};

class FormTest : public ::testing::Test, public Rig {};

}  // namespace kobex::testing
