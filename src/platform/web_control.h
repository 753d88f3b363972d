// The HTTP client behind webControl: one GET per call for a request path on the
// messaging client's control endpoint, which the client is made with. Returns
// once the request has been sent; the reply is never passed back. Throws Error
// when the request could not be delivered.
#pragma once

#include <string_view>

namespace kobex {

class WebControl {
 public:
  virtual ~WebControl() = default;
  virtual void Get(std::string_view path) = 0;
};

}  // namespace kobex
