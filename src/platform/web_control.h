// The HTTP client behind webControl: one GET per call. Returns once the
// request has been sent; the reply is never passed back. Throws Error when the
// request could not be delivered.
#pragma once

#include <string>

namespace kobex {

class WebControl {
 public:
  virtual ~WebControl() = default;
  virtual void OpenURL(const std::string& url) = 0;
};

}  // namespace kobex
