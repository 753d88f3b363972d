// The one error type of the program. Every operation that fails throws it;
// no event procedure catches it, the host's dispatcher does (see EventBoundary).
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace kobex {

// The error is its description, as the message box shows it, a system's code in the text. Not
// std::runtime_error, whose reference-counted string would link a second string implementation.
class Error : public std::exception {
 public:
  explicit Error(std::string description) : description_(std::move(description)) {}

  const std::string& description() const { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  std::string description_;
};

}  // namespace kobex
