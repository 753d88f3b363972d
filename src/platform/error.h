// The one error type of the program. Every operation that fails throws it;
// no event procedure catches it, the host's dispatcher does (see EventBoundary).
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
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

// The system's text for a Windows error code, as the system gave it (`raw`,
// whose line break and closing full stop are dropped), followed by the code:
// "Access is denied (error 5)"; just "error 5" when the system has no text.
std::string SystemText(std::string_view raw, std::uint32_t code);

// The same for a COM result, whose code reads in hexadecimal:
// "Catastrophic failure (0x8000FFFF)"; just "error 0x8000FFFF" without text.
std::string ComText(std::string_view raw, std::uint32_t result);

// A step that failed, and why: "Cannot load the tray icon: Access is denied (error 5)".
std::string StepFailure(std::string_view step, std::string_view why);

}  // namespace kobex
