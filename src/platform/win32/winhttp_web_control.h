// webControl on WinHTTP: one GET a call to the client's endpoint, with no proxy,
// redirects or cookies, in bounded time; the reply is awaited briefly and dropped.
#pragma once

#include <windows.h>
#include <winhttp.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/web_control.h"
#include "platform/win32/handles.h"

namespace kobex::win32 {

// Closes a WinHTTP handle (WinHTTP is loaded when the first one is made).
BOOL CloseInternet(HINTERNET handle) noexcept;
using OwnedInternet = Owned<HINTERNET, &CloseInternet>;

class WinHttpWebControl final : public WebControl {
 public:
  // Every request goes to http://HOST:PORT, HOST an address on this machine.
  WinHttpWebControl(std::string_view host, std::uint16_t port);

  void Get(std::string_view path) override;

 private:
  HINTERNET Session(const std::string& url);

  std::vector<wchar_t> host_;  // NUL-terminated
  INTERNET_PORT port_;
  std::string endpoint_;  // "http://HOST:PORT", for what an error says
  OwnedInternet session_;  // one for webControl's life: its settings are made once
};

}  // namespace kobex::win32
