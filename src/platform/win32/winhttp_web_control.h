// webControl on WinHTTP: one GET per call to the client's control endpoint on
// the loopback address, with no proxy, no redirects, no cookies, and bounded
// time. The call returns once the request has been delivered; the reply's
// headers are waited for briefly and dropped.
#pragma once

#include <windows.h>
#include <winhttp.h>

#include "platform/web_control.h"

namespace kobex::win32 {

// Connecting and sending fail after this long, unless the request turns out to
// have been sent meanwhile.
inline constexpr DWORD kSendTimeoutMs = 2000;
// How long a delivered request waits for the reply before it is dropped.
inline constexpr DWORD kReplyTimeoutMs = 2000;
// How long a request that was not reported sent waits, once closed, for
// WinHTTP's last word on it.
inline constexpr DWORD kCloseTimeoutMs = 1000;

class WinHttpWebControl final : public WebControl {
 public:
  WinHttpWebControl() = default;
  ~WinHttpWebControl() override;
  WinHttpWebControl(const WinHttpWebControl&) = delete;
  WinHttpWebControl& operator=(const WinHttpWebControl&) = delete;

  void OpenURL(const std::string& url) override;

 private:
  HINTERNET Session(const std::string& url);
  HINTERNET session_ = nullptr;
};

}  // namespace kobex::win32
