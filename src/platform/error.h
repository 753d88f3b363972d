// The one error type of the program. Every operation that fails throws it;
// no event procedure catches it, the host's dispatcher does (see EventBoundary).
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace kobex {

// What went wrong, in the words the message box shows: the error is its
// description and nothing else. A system's error code, where there is one,
// stands in the description (see SystemText), where a user or a support call
// can read it; nothing in the program acts on it.
//
// Derived from std::exception itself rather than std::runtime_error, whose
// reference-counted string brings a second string implementation into kobex.exe.
class Error : public std::exception {
 public:
  explicit Error(std::string description) : description_(std::move(description)) {}

  const std::string& description() const { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  std::string description_;
};

}  // namespace kobex
