// The HTTP client behind webControl: one GET per call for a path on the client's control endpoint.
// Returns once the request is sent; the reply is never passed back. Throws Error if not delivered.
#pragma once

#include <string_view>

namespace kobex {

class WebControl {
 public:
  virtual ~WebControl() = default;
  virtual void Get(std::string_view path) = 0;
};

}  // namespace kobex
