// Fakes of the platform for the core's unit tests. Each records every call
// into one journal, so tests can check the order of steps across fakes.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/host.h"
#include "platform/web_control.h"

namespace kobex::testing {

struct Journal {
  std::vector<std::string> entries;
  void Add(std::string entry) { entries.push_back(std::move(entry)); }
};

struct ShellCall {
  std::int32_t message;
  NotifyIconRecord record;
};

class FakeHost : public Host, public NotifyArea {
 public:
  explicit FakeHost(Journal& journal) : journal_(journal) {}

  // What the fake system reports and how it fails.
  std::uint32_t majorVersion = 6;
  bool versionQuerySucceeds = true;
  bool anotherLauncherRuns = false;
  std::uint32_t window = 0x00010F2A;
  std::uint32_t picture = 0x2B0C0411;
  bool shellAccepts = true;
  // The shell's next answers, before shellAccepts holds again.
  std::deque<bool> shellAnswers;
  std::optional<Error> shellCommandFails;
  std::optional<Error> windowHandleFails;
  float twipsPerPixelX = 15.0f;
  float twipsPerPixelY = 15.0f;
  // The user's answers to the next popups: an item's name, or "" to dismiss.
  std::deque<std::string> menuChoices;
  // What the user does while the About box is open; it is closed with OK after.
  std::function<void(AboutEvents&)> whileAboutOpen;
  // What reaches the window while a shell call waits for its answer.
  std::function<void(std::int32_t message)> duringShellCall;

  // What the program did.
  std::vector<ShellCall> shellCalls;
  std::vector<std::string> messages;
  std::optional<int> endedWith;
  bool visible = true;
  bool destroyed = false;
  std::uint32_t trayIconTimerMs = 0;  // 0: not running
  OsVersionRecord versionRecordSeen{};
  std::vector<MenuEntry> menuShown;
  std::size_t menuDefault = 0;
  std::optional<AboutWindow> aboutShown;
  bool aboutClosed = false;

  void Shell(const std::string& commandLine) override {
    journal_.Add("Shell " + commandLine);
    if (shellCommandFails) throw *shellCommandFails;
  }
  void SetVisible(bool v) override {
    journal_.Add(v ? "Visible" : "Invisible");
    visible = v;
  }
  bool GetVersionExA(OsVersionRecord& record) override {
    journal_.Add("GetVersionExA");
    versionRecordSeen = record;
    if (!versionQuerySucceeds) return false;
    PutU32LE(record, 4, majorVersion);
    return true;
  }
  bool ClaimSession() override {
    journal_.Add("ClaimSession");
    return !anotherLauncherRuns;
  }
  void MsgBox(const std::string& text, MsgBoxIcon) override {
    journal_.Add("MsgBox " + text);
    messages.push_back(text);
  }
  void End(int exitCode) override {
    journal_.Add("End " + std::to_string(exitCode));
    endedWith = exitCode;
  }
  void DestroyForm() override {
    journal_.Add("DestroyForm");
    destroyed = true;
  }
  void SetTrayIconTimer(std::uint32_t intervalMs) override {
    journal_.Add("TrayIconTimer " + std::to_string(intervalMs));
    trayIconTimerMs = intervalMs;
  }
  std::uint32_t hWnd() override {
    if (windowHandleFails) throw *windowHandleFails;
    if (destroyed) throw Error("The main window does not exist.");  // as the real host
    return window;
  }
  std::uint32_t QuenziconPicture() override { return picture; }
  float TwipsPerPixelX() override { return twipsPerPixelX; }
  float TwipsPerPixelY() override { return twipsPerPixelY; }

  std::optional<std::size_t> PopupMenu(const std::vector<MenuEntry>& entries, std::size_t defaultItem) override {
    journal_.Add("PopupMenu");
    menuShown = entries;
    menuDefault = defaultItem;
    if (menuChoices.empty()) return std::nullopt;
    const std::string choice = menuChoices.front();
    menuChoices.pop_front();
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (entries[i].name == choice) return i;
    }
    return std::nullopt;
  }

  void ShowAboutModal(const AboutWindow& design, AboutEvents& events) override {
    journal_.Add("ShowAbout");
    aboutShown = design;
    // The form says whether the box is open; the box ends on CloseAbout.
    if (!events.IsLoaded()) throw Error("About shown by a form that is not loaded");
    aboutClosed = false;
    if (whileAboutOpen) whileAboutOpen(events);
    if (events.IsLoaded()) events.cmdOK_Click();  // the user presses OK
    if (events.IsLoaded() || !aboutClosed) throw Error("OK did not close the About box");
    journal_.Add("AboutReturned");
  }
  void CloseAbout() override {
    journal_.Add("CloseAbout");
    aboutClosed = true;
  }
  void ActivateAbout() override { journal_.Add("ActivateAbout"); }

  bool Shell_NotifyIconA(std::int32_t message, const NotifyIconRecord& record) override {
    journal_.Add(message == 0   ? "NIM_ADD"
                 : message == 1 ? "NIM_MODIFY"
                 : message == 2 ? "NIM_DELETE"
                                : "NIM_" + std::to_string(message));
    shellCalls.push_back({message, record});
    if (duringShellCall) duringShellCall(message);
    if (shellAnswers.empty()) return shellAccepts;
    const bool answer = shellAnswers.front();
    shellAnswers.pop_front();
    return answer;
  }

  int IconsShown() const {
    int count = 0;
    for (const auto& call : shellCalls) count += call.message == 0 ? 1 : call.message == 2 ? -1 : 0;
    return count;
  }

 private:
  Journal& journal_;
};

class FakeWebControl : public WebControl {
 public:
  explicit FakeWebControl(Journal& journal) : journal_(journal) {}

  std::vector<std::string> paths;
  std::function<void(const std::string&)> onGet;  // may throw to fail the request

  void Get(std::string_view path) override {
    journal_.Add("GET " + std::string(path));
    paths.emplace_back(path);
    if (onGet) onGet(std::string(path));
  }

 private:
  Journal& journal_;
};

}  // namespace kobex::testing
