// The one error type of the program. Every operation that fails throws it;
// no event procedure catches it, the host's dispatcher does (see EventBoundary).
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <utility>

namespace kobex {

// Derived from std::exception itself rather than std::runtime_error, whose
// reference-counted string brings a second string implementation into kobex.exe.
class Error : public std::exception {
 public:
  Error(std::int32_t number, std::string description)
      : number_(number), description_(std::move(description)) {}

  std::int32_t number() const { return number_; }
  const std::string& description() const { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  std::int32_t number_;
  std::string description_;
};

// Numbers for errors the program raises itself, in the host's own numbering.
inline constexpr std::int32_t kErrInvalidCall = 5;
inline constexpr std::int32_t kErrOverflow = 6;
inline constexpr std::int32_t kErrDivisionByZero = 11;

}  // namespace kobex
