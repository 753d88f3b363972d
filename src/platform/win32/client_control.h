// webControl as the forms see it: the requests go over WinHTTP, and the one
// that asks the client to show its window first lets it take the foreground.
#pragma once

#include <string_view>

#include "platform/web_control.h"

namespace kobex::win32 {

class ClientControl final : public WebControl {
 public:
  explicit ClientControl(WebControl& http) : http_(http) {}
  void Get(std::string_view path) override;

 private:
  WebControl& http_;
};

}  // namespace kobex::win32
