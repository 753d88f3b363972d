#include "tray/notify_dispatch.h"

#include <cmath>
#include <limits>

#include "platform/error.h"

namespace kobex {
namespace {

[[noreturn]] void Overflow() { throw Error("Overflow"); }

// Ties to even, whatever rounding mode the floating-point unit is in.
double RoundHalfEven(double value) {
  const double floor = std::floor(value);
  const double fraction = value - floor;
  if (fraction > 0.5) return floor + 1;
  if (fraction < 0.5) return floor;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

}  // namespace

std::int32_t NotificationCode(float x, float twipsPerPixelX) {
  const double dividend = x;
  const double divisor = twipsPerPixelX;
  // The three conditions the division can raise, tested before it so the
  // outcome does not depend on the floating-point unit's status flags.
  if (std::isnan(dividend) || std::isnan(divisor)) Overflow();           // invalid operation
  if (std::isinf(dividend) && std::isinf(divisor)) Overflow();           // invalid operation
  if (divisor == 0) {
    if (dividend == 0) Overflow();                                       // 0 / 0: invalid operation
    throw Error("Division by zero");
  }
  // Any two floats divide in double without overflow; an infinite dividend
  // gives an infinite quotient, which the range test below refuses.
  const double quotient = dividend / divisor;
  const double rounded = RoundHalfEven(quotient);
  // Written so that a NaN fails it too, as it would not the other way round.
  if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&  // NOLINT(readability-simplify-boolean-expr)
        rounded <= std::numeric_limits<std::int32_t>::max())) {
    Overflow();
  }
  return static_cast<std::int32_t>(rounded);
}

}  // namespace kobex
