// Fakes of the platform for the core's unit tests. Each records every call
// into one journal, so tests can check the order of steps across fakes.
#pragma once

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
  std::uint32_t window = 0x00010F2A;
  std::uint32_t picture = 0x2B0C0411;
  bool shellAccepts = true;
  std::optional<Error> shellCommandFails;
  std::optional<Error> windowHandleFails;

  // What the program did.
  std::vector<ShellCall> shellCalls;
  std::vector<std::string> messages;
  std::optional<int> endedWith;
  bool visible = true;
  bool destroyed = false;
  OsVersionRecord versionRecordSeen{};

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
  std::uint32_t hWnd() override {
    if (windowHandleFails) throw *windowHandleFails;
    return window;
  }
  std::uint32_t QuenziconPicture() override { return picture; }
  float TwipsPerPixelX() override { return 15.0f; }

  bool Shell_NotifyIconA(std::int32_t message, const NotifyIconRecord& record) override {
    journal_.Add(message == 0 ? "NIM_ADD" : message == 2 ? "NIM_DELETE" : "NIM_" + std::to_string(message));
    shellCalls.push_back({message, record});
    return shellAccepts;
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

  std::vector<std::string> urls;
  std::function<void(const std::string&)> onOpen;  // may throw to fail the request

  void OpenURL(const std::string& url) override {
    journal_.Add("GET " + url);
    urls.push_back(url);
    if (onOpen) onOpen(url);
  }

 private:
  Journal& journal_;
};

}  // namespace kobex::testing
