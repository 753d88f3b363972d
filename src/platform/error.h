// The one error type of the program. Every operation that fails throws it;
// no event procedure catches it, the host's dispatcher does (see frmCorvane::RaiseEvent).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace kobex {

class Error : public std::runtime_error {
 public:
  Error(std::int32_t number, const std::string& description)
      : std::runtime_error(description), number_(number) {}

  std::int32_t number() const { return number_; }
  std::string description() const { return what(); }

 private:
  std::int32_t number_;
};

// Numbers for errors the program raises itself, in the host's own numbering.
inline constexpr std::int32_t kErrInvalidCall = 5;
inline constexpr std::int32_t kErrOverflow = 6;
inline constexpr std::int32_t kErrDivisionByZero = 11;

}  // namespace kobex
